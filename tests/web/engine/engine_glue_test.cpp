// The web page's engine: the plug-in's draw loop and player calls on one thread, in lock-step on
// audio time. Same slices in, same pictures out, in every build and as the plug-in's own two
// threads show them. (The page's test in Chromium drives its commands and sizes.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine_api.h"
#ifndef __EMSCRIPTEN__  // WebAssembly runs no threads
#include "pipeline/draw_thread.h"
#include "pipeline/frame_handoff.h"
#include "platform/clock.h"
#include "platform/lockstep_clock.h"
#include "raster/shown_picture.h"
#endif

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// The slice bytes of call k: a pulsing spectrum and a waveform with a beat every 20 calls.
void SliceBytes(int k, unsigned char (&bytes)[4][576]) {
  for (int i = 0; i < 576; ++i) {
    const int level = int(18 - i / 40 + 4 * std::sin(k * 0.3 + i * 0.05));
    bytes[0][i] = bytes[1][i] = static_cast<unsigned char>(level < 0 ? 0 : level);
    const int wave = int((k % 20 < 3 ? 120 : 40) * std::sin(i * 0.1 + k));
    bytes[2][i] = bytes[3][i] = static_cast<unsigned char>(static_cast<signed char>(wave));
  }
}

// FNV-1a over the pixels as RGBA, alpha 255; `step` bytes a pixel.
uint64_t Hash(const uint8_t* rgb, size_t pixels, int step) {
  uint64_t hash = 1469598103934665603ull;
  for (size_t p = 0; p < pixels; ++p, rgb += step)
    for (int c = 0; c < 4; ++c) hash = (hash ^ (c < 3 ? rgb[c] : 255)) * 1099511628211ull;
  return hash;
}

std::vector<uint64_t> shown;

// Runs `calls` player calls; the hash of every picture shown (0 for the about screen).
std::vector<uint64_t> Play(int calls) {
  shown.clear();
  vv_observe_pictures([](const uint8_t* rgba, int width, int height) {
    shown.push_back(rgba ? Hash(rgba, size_t(width) * size_t(height), 4) : 0);
  });
  unsigned char bytes[4][576];
  for (int k = 0; k < calls; ++k) {
    SliceBytes(k, bytes);
    EXPECT_EQ(vv_queue_slice_bytes(&bytes[0][0]), 1);
    vv_run();
  }
  return shown;
}

TEST(EngineGlue, PicturesAreTheSameInEveryBuild) {
  // Every picture of 20 s of audio, hashed together. The same number natively and in
  // WebAssembly; it changes only when the engine's pictures or the glue's timing change.
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  uint64_t all = 1469598103934665603ull;
  for (uint64_t hash : Play(800)) all = (all ^ hash) * 1099511628211ull;
  EXPECT_EQ(all, 0x3e55679211e87352ull) << std::hex << "now 0x" << all;
}

#ifndef __EMSCRIPTEN__

// The plug-in's draw thread and host calls on the deterministic clock, as `vevirur render` runs
// them, for the same slices: the pictures it shows.
std::vector<uint64_t> PlayOnTwoThreads(int calls) {
  shown.clear();
  ResetDrawing();
  platform::LockstepClock clock(1000000);
  platform::SetTimeSource(&clock);
  const FrameShowSteps steps{nullptr,
                             [](void*, const PictureRect&, int width, int height) {
                               std::vector<uint8_t> rgb;
                               if (ReadShownPicture(width, height, rgb))
                                 shown.push_back(Hash(rgb.data(), rgb.size() / 3, 3));
                               return 0;
                             },
                             [](void*, const PictureRect&, bool) { shown.push_back(0); }};
  unsigned char bytes[4][576];
  const HostAudio audio{reinterpret_cast<const unsigned char(*)[kHostSampleCount]>(bytes[0]),
                        reinterpret_cast<const char(*)[kHostSampleCount]>(bytes[2])};
  for (int k = 0; k < calls; ++k) {
    const int32_t ahead = int32_t(1000000 + uint32_t(k) * 25 - clock.Now());
    if (ahead > 0) clock.Sleep(uint32_t(ahead));
    SliceBytes(k, bytes);
    if (DrawThread.DrawThreadHandle != nullptr && DrawThread.FirstRenderPending)
      clock.ExpectThread();
    HandOffFrame(1, PictureRect{0, 0, kWidth, kHeight}, audio, steps);
  }
  ShutDownDrawing();
  platform::SetTimeSource(nullptr);
  return shown;
}

TEST(EngineGlue, ShowsThePicturesOfThePlugInsTwoThreads) {
  std::vector<uint64_t> two = PlayOnTwoThreads(300);
  ASSERT_GT(two.size(), 290u);
  two.pop_back();  // the last one may still be on its way on one thread
  ASSERT_EQ(vv_start(kWidth, kHeight), 1);
  const std::vector<uint64_t> one = Play(301);
  ASSERT_GE(one.size(), two.size());
  EXPECT_EQ(std::vector(one.begin(), one.begin() + long(two.size())), two);
}
#endif

}  // namespace
