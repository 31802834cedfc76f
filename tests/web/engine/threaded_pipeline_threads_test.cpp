// Natively only (WebAssembly runs no threads): the page's one-thread engine shows the very
// pictures that the plug-in's two threads show for the same slices, with the draw thread and the
// host's calls on the deterministic clock as `vevirur render` runs them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine_api.h"
#include "pipeline/draw_thread.h"
#include "pipeline/frame_handoff.h"
#include "platform/clock.h"
#include "platform/lockstep_clock.h"
#include "raster/shown_picture.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kCalls = 300;
constexpr uint32_t kStartTicks = 1000000;

std::vector<uint64_t> shown;

// The slice bytes of call k: a pulsing spectrum and a waveform with a beat every 20 calls.
void SliceBytes(int k, unsigned char (&bytes)[4][576]) {
  for (int i = 0; i < 576; ++i) {
    const int level = int(18 - i / 40 + 4 * std::sin(k * 0.3 + i * 0.05));
    bytes[0][i] = bytes[1][i] = static_cast<unsigned char>(level < 0 ? 0 : level);
    const int wave = int((k % 20 < 3 ? 120 : 40) * std::sin(i * 0.1 + k));
    bytes[2][i] = bytes[3][i] = static_cast<unsigned char>(static_cast<signed char>(wave));
  }
}

// FNV-1a over RGBA pixels (alpha 255); 0 stands for the about screen.
uint64_t HashRgb(const uint8_t* rgb, size_t pixels, int step) {
  uint64_t hash = 1469598103934665603ull;
  for (size_t p = 0; p < pixels; ++p, rgb += step)
    for (int c = 0; c < 4; ++c) hash = (hash ^ (c < 3 ? rgb[c] : 255)) * 1099511628211ull;
  return hash;
}

std::vector<uint64_t> PlayOnOneThread() {
  shown.clear();
  vv_observe_pictures([](const uint8_t* rgba, int width, int height) {
    shown.push_back(rgba ? HashRgb(rgba, size_t(width) * size_t(height), 4) : 0);
  });
  EXPECT_EQ(vv_start(kWidth, kHeight), 1);
  unsigned char bytes[4][576];
  for (int k = 0; k <= kCalls; ++k) {
    SliceBytes(k, bytes);
    vv_queue_slice_bytes(&bytes[0][0]);
    vv_run();
  }
  vv_observe_pictures(nullptr);
  return shown;
}

std::vector<uint64_t> PlayOnTwoThreads() {
  shown.clear();
  ResetDrawing();
  platform::LockstepClock clock(kStartTicks);
  platform::SetTimeSource(&clock);
  FrameShowSteps steps;
  steps.showPicture = [](void*, const PictureRect&, int width, int height) {
    std::vector<uint8_t> rgb;
    if (ReadShownPicture(width, height, rgb))
      shown.push_back(HashRgb(rgb.data(), rgb.size() / 3, 3));
    return 0;
  };
  steps.drawAboutScreen = [](void*, const PictureRect&, bool) { shown.push_back(0); };
  unsigned char bytes[4][576];
  HostAudio audio;
  audio.spectrum = reinterpret_cast<const unsigned char(*)[kHostSampleCount]>(bytes[0]);
  audio.waveform = reinterpret_cast<const char(*)[kHostSampleCount]>(bytes[2]);
  for (int k = 0; k < kCalls; ++k) {
    const int32_t ahead = int32_t(kStartTicks + uint32_t(k) * 25 - clock.Now());
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
  const std::vector<uint64_t> one = PlayOnOneThread();
  const std::vector<uint64_t> two = PlayOnTwoThreads();
  ASSERT_GT(two.size(), size_t(kCalls) - 10);
  ASSERT_GE(one.size(), two.size() - 1);
  size_t same = 0;
  while (same < two.size() && same < one.size() && one[same] == two[same]) ++same;
  EXPECT_GE(same + 1, two.size()) << "the pictures part at picture " << same;
}

}  // namespace
