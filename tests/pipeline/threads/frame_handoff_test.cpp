// The host's half of the hand-off against a real draw thread.
#include "pipeline/frame_handoff.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "effects/audio_samples.h"
#include "pipeline/draw_thread.h"
#include "pipeline/frame_loop.h"
#include "pipeline/threads/host_double.h"
#include "platform/lockstep_clock.h"
#include "raster/drawing.h"

namespace {

constexpr PictureRect kWindow{0, 0, 64, 48};
constexpr uint32_t kCallSpacingMs = 25;

class HandOffTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFrameLoopState(); }
  void TearDown() override {
    ShutDownDrawing();
    platform::SetTimeSource(nullptr);
    ResetFrameLoopState();
  }

  // Plays the player's calls every 25 ms (sooner when one ran late) until `until`.
  void PlayUntil(uint32_t until, const PictureRect& rect = kWindow) {
    while (int32_t(until - platform::TickCount()) > 0) {
      const uint32_t due = platform::TickCount() + kCallSpacingMs;
      if (DrawThread.DrawThreadHandle != nullptr && DrawThread.FirstRenderPending)
        clock->ExpectThread();
      host.Call(1, rect);
      const int32_t left = int32_t(due - platform::TickCount());
      if (left > 0) platform::SleepMilliseconds(uint32_t(left));
    }
  }

  void UseVirtualClock(uint32_t start) {
    clock = std::make_unique<platform::LockstepClock>(start);
    platform::SetTimeSource(clock.get());
  }

  std::unique_ptr<platform::LockstepClock> clock;
  HostDouble host;
};

TEST_F(HandOffTest, FirstCallStartsTheThreadSecondShowsTheAboutScreenThenFramesFollow) {
  UseVirtualClock(100000);
  EXPECT_EQ(host.Call(1, kWindow), 0);
  EXPECT_NE(DrawThread.DrawThreadHandle, nullptr);
  EXPECT_EQ(host.about_screens, 0);  // playing: nothing drawn
  platform::SleepMilliseconds(25);
  EXPECT_EQ(Loop.SceneReady, 0);  // still suspended

  clock->ExpectThread();
  EXPECT_EQ(host.Call(1, kWindow), 0);
  EXPECT_EQ(host.about_screens, 1);
  EXPECT_TRUE(host.last_about_cleared);
  EXPECT_EQ(DrawThread.FirstRenderPending, 0);
  platform::SleepMilliseconds(25);

  // The third call is the first to ask for a size, so its frame is not ready yet.
  EXPECT_EQ(host.Call(1, kWindow), 0);
  EXPECT_EQ(DrawThread.TargetRect.right, 64);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(HandOff.SamplesWanted, 0);
  platform::SleepMilliseconds(25);

  EXPECT_EQ(host.Call(1, kWindow), 0);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].width, 64);
  EXPECT_EQ(host.shown[0].height, 48);
  EXPECT_EQ(HandOff.SamplesWanted, 1);

  // Not playing (or a repaint): the about screen instead of a frame.
  EXPECT_EQ(host.Call(0, kWindow), 0);
  EXPECT_EQ(host.about_screens, 2);
  EXPECT_EQ(host.shown.size(), 1u);

  // After a stop the next call builds new events and a new thread.
  ShutDownDrawing();
  EXPECT_EQ(host.Call(1, kWindow), 0);
  EXPECT_NE(DrawThread.DrawThreadHandle, nullptr);
  EXPECT_NE(DrawThread.FrameRequestEvent.load(), nullptr);
  EXPECT_EQ(DrawThread.FirstRenderPending, 1);
}

TEST_F(HandOffTest, SamplesAreCopiedOnlyForATakenFrame) {
  UseVirtualClock(100000);
  host.spectrum[0][10] = 3;
  PlayUntil(100000 + 200);
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(Samples.SpectrumSamples[0][0], 30);

  // No frame to take: nothing shown, nothing copied, and no next frame asked for, since the
  // draw thread may still be drawing the one the host is waiting for.
  ShutDownDrawing();
  ASSERT_EQ(StartDrawThread(), 1);  // never resumed, so no frame will come
  DrawThread.FirstRenderPending = 0;
  SetTargetRect(kWindow);
  ASSERT_EQ(Loop.SceneReady, 0);
  host.spectrum[0][10] = 4;
  const uint32_t before = platform::TickCount();
  host.Call(1, kWindow);
  EXPECT_EQ(HandOff.SamplesWanted, 0);
  EXPECT_EQ(platform::TickCount(), before);  // no ready scene: no wait at all
  EXPECT_EQ(Samples.SpectrumSamples[0][0], 30);
  EXPECT_FALSE(platform::WaitEvent(DrawThread.FrameRequestEvent, 0));
}

TEST_F(HandOffTest, ASizeChangeRebuildsAndPresentsAtTheNewSize) {
  UseVirtualClock(100000);
  PlayUntil(100000 + 300);
  const size_t before = host.shown.size();
  ASSERT_GT(before, 0u);
  // The frame finished at the old size is taken without being shown; the thread was then
  // waiting, so this call's samples go in and the next frame, at the new size, is asked for.
  const PictureRect larger{0, 0, 80, 60};
  host.spectrum[0][10] = 7;
  host.Call(1, larger);
  EXPECT_EQ(DrawThread.TargetRect.right, 80);
  EXPECT_EQ(host.shown.size(), before);
  EXPECT_EQ(HandOff.SamplesWanted, 1);
  EXPECT_EQ(Samples.SpectrumSamples[0][0], 70);
  PlayUntil(100000 + 600, larger);
  ASSERT_GT(host.shown.size(), before);
  EXPECT_EQ(host.shown.back().width, 80);
  EXPECT_EQ(host.shown.back().height, 60);
}

// Every show fails: each taken frame is still followed by the request for the next, so the draw
// thread never stalls in its wait; each failure is reported, which redraws the next frame.
TEST_F(HandOffTest, AFailingShowStillAsksForTheNextFrame) {
  UseVirtualClock(100000);
  host.show_throws = true;
  PlayUntil(100000 + 1000);
  EXPECT_GE(host.shown.size(), 10u);
  EXPECT_FALSE(platform::WaitEvent(DrawThread.FrameRequestEvent, 0));  // taken by the thread
}

TEST_F(HandOffTest, TenSecondsOfCallsEvery25msSettleAt30FramesASecondAcrossTheTickWrap) {
  const uint32_t start = 0xFFFFFFFFu - 4000u;  // the tick count wraps 4 s in
  UseVirtualClock(start);
  PlayUntil(start + 10000);
  int late_frames = 0;
  for (const HostDouble::Shown& frame : host.shown) {
    if (uint32_t(frame.at - start) >= 5000) ++late_frames;
  }
  const double rate = late_frames / 5.0;
  EXPECT_NEAR(rate, 30.0, 2.0) << "frame delay " << Loop.FrameDelay;
  // Frames never stop coming: no gap longer than two calls.
  for (size_t i = 1; i < host.shown.size(); ++i) {
    EXPECT_LE(uint32_t(host.shown[i].at - host.shown[i - 1].at), 50u) << i;
  }
}

TEST_F(HandOffTest, RunsOnTheSystemClock) {
  // Real threads on real time, for the thread sanitizer: only the sanity of the result is fixed.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (host.shown.size() < 5 && std::chrono::steady_clock::now() < give_up) {
    host.Call(1, kWindow);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GE(host.shown.size(), 1u);
  ShutDownDrawing();
  EXPECT_EQ(DrawThread.DrawThreadHandle, nullptr);
  EXPECT_EQ(IsDrawSurfaceReady(), 0);
}

}  // namespace
