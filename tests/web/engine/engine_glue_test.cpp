// The web page's engine: the plug-in's draw loop and player calls on one thread, in lock-step on
// audio time. Same slices in, same pictures out; the start-up order of the plug-in; bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine_api.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

int Status(VvStatus word) {
  return vv_status()[word];
}

// The slice bytes of call k: a pulsing spectrum and a waveform with a beat every 20 calls.
void QueueSlice(int k) {
  unsigned char bytes[4 * 576];
  for (int i = 0; i < 576; ++i) {
    const int level = int(18 - i / 40 + 4 * std::sin(k * 0.3 + i * 0.05));
    bytes[i] = bytes[576 + i] = static_cast<unsigned char>(level < 0 ? 0 : level);
    const int wave = int((k % 20 < 3 ? 120 : 40) * std::sin(i * 0.1 + k));
    bytes[2 * 576 + i] = bytes[3 * 576 + i] =
        static_cast<unsigned char>(static_cast<signed char>(wave));
  }
  ASSERT_EQ(vv_queue_slice_bytes(bytes), 1);
}

uint64_t PictureHash() {
  const uint8_t* rgba = vv_picture();
  uint64_t hash = 1469598103934665603ull;
  const size_t bytes = size_t(Status(kVvPictureWidth)) * size_t(Status(kVvPictureHeight)) * 4;
  for (size_t i = 0; i < bytes; ++i) hash = (hash ^ rgba[i]) * 1099511628211ull;
  return hash;
}

// Runs `calls` player calls; returns the hash of every new picture (0 for the about screen).
std::vector<uint64_t> Play(int calls) {
  std::vector<uint64_t> shown;
  int pictures = Status(kVvPictures);
  for (int k = 0; k < calls; ++k) {
    QueueSlice(k);
    if (vv_run() != pictures) {
      pictures = Status(kVvPictures);
      shown.push_back(Status(kVvAboutShown) ? 0 : PictureHash());
    }
  }
  return shown;
}

TEST(EngineGlue, StartsAsThePlugInDoes) {
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  // Call 0 makes the draw thread, call 1 shows the about screen and lets it run, call 2 asks for
  // the first picture, and call 3 shows it (a turn needs the next call queued to run).
  const int expected_pictures[] = {0, 0, 1, 1, 2};
  for (int k = 0; k < 5; ++k) {
    QueueSlice(k);
    vv_run();
    EXPECT_EQ(Status(kVvPictures), expected_pictures[k]) << "after queueing call " << k;
  }
  EXPECT_EQ(Status(kVvAboutShown), 0);
  EXPECT_EQ(Status(kVvSceneWidth), kWidth);
  EXPECT_EQ(Status(kVvSceneHeight), kHeight);
}

TEST(EngineGlue, SameSlicesGiveTheSamePicturesAndTheGovernorHoldsThirtyFrames) {
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  const std::vector<uint64_t> first = Play(400);  // 10 s of audio
  const int drawn = Status(kVvFramesDrawn);
  const int virtual_ms = Status(kVvVirtualNow);
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  EXPECT_EQ(Play(400), first);
  EXPECT_EQ(Status(kVvFramesDrawn), drawn);
  EXPECT_EQ(Status(kVvVirtualNow), virtual_ms);
  // Every call after the first ones shows a frame; when frames take longer than a call's 25 ms,
  // calls wait for them, so the frame rate over the engine's own clock comes near 30.
  EXPECT_GE(first.size(), 390u);
  const double rate = drawn * 1000.0 / virtual_ms;
  EXPECT_GT(rate, 25) << drawn << " frames in " << virtual_ms << " ms";
  EXPECT_LT(rate, 41) << drawn << " frames in " << virtual_ms << " ms";
  int lit = 0;
  for (size_t i = 0; i < size_t(kWidth) * kHeight; ++i)
    lit += (vv_picture()[i * 4] | vv_picture()[i * 4 + 1] | vv_picture()[i * 4 + 2]) != 0;
  EXPECT_GT(lit, 20);
}

TEST(EngineGlue, PicturesAreTheSameInEveryBuild) {
  // Every picture of 20 s of audio, hashed together. The same number natively and in
  // WebAssembly; it changes only when the engine's pictures or the glue's timing change.
  constexpr uint64_t kExpected = 0x3e55679211e87352ull;
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  uint64_t all = 1469598103934665603ull;
  for (uint64_t hash : Play(800)) all = (all ^ hash) * 1099511628211ull;
  EXPECT_EQ(all, kExpected) << std::hex << "now 0x" << all;
}

TEST(EngineGlue, CommandsReachTheFrameLoop) {
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  Play(10);
  const int changes = Status(kVvEffectChanges);
  vv_change_drawing();
  Play(3);
  EXPECT_EQ(Status(kVvEffectChanges), changes + 1);
  EXPECT_EQ(vv_toggle_lock(), 1);
  vv_new_track();  // ignored while locked
  Play(3);
  EXPECT_EQ(Status(kVvEffectChanges), changes + 1);
  vv_change_drawing();  // F6 works locked or not
  Play(3);
  EXPECT_EQ(Status(kVvEffectChanges), changes + 2);
  EXPECT_EQ(vv_toggle_lock(), 0);
  vv_new_track();
  Play(3);
  EXPECT_EQ(Status(kVvEffectChanges), changes + 3);
}

TEST(EngineGlue, ANewSizeRebuildsTheScene) {
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  Play(20);
  ASSERT_EQ(vv_set_size(200, 100), 1);
  Play(10);
  EXPECT_EQ(Status(kVvSceneWidth), 200);
  EXPECT_EQ(Status(kVvPictureWidth), 200);
  EXPECT_EQ(Status(kVvPictureHeight), 100);
}

TEST(EngineGlue, RefusesBadSizesAndAnOverfullQueue) {
  const int sizes[][2] = {{0, 100}, {100, 0}, {-5, 100}, {8193, 10}, {10, 8193}, {4000, 4000}};
  for (const auto& size : sizes) {
    EXPECT_EQ(vv_start(size[0], size[1]), 0) << size[0] << " x " << size[1];
    EXPECT_EQ(vv_set_size(size[0], size[1]), 0) << size[0] << " x " << size[1];
  }
  ASSERT_EQ(vv_start(32, 24), 1);
  unsigned char silence[4 * 576] = {};
  int queued = 0;
  while (queued < 5000 && vv_queue_slice_bytes(silence)) ++queued;
  EXPECT_EQ(queued, 4000);
  EXPECT_EQ(vv_queue_slice_bytes(nullptr), 0);
  vv_run();  // runs every call but the last, which a turn may still need, without a fault
  EXPECT_GE(Status(kVvCallsDone), 3998);
  EXPECT_LE(Status(kVvCallsDone), 3999);
}

}  // namespace
