// The host's half of the hand-off, and the start and stop of the draw thread, against a real
// draw thread on the lock-step virtual clock.
#include "pipeline/frame_handoff.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "effects/audio_samples.h"
#include "pipeline/draw_thread.h"
#include "pipeline/frame_loop.h"
#include "platform/lockstep_clock.h"
#include "platform/thread_census.h"
#include "raster/drawing.h"

namespace {

constexpr PictureRect kWindow{0, 0, 64, 48};
constexpr uint32_t kStart = 100000;

// The fixture plays the host: its audio buffers, and a record of what it was given to show.
class HandOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameLoopState();
    platform::SetTimeSource(&clock);
    steps.context = this;
    steps.showPicture = [](void* self, const PictureRect&, int width, int height) {
      auto* host = static_cast<HandOffTest*>(self);
      host->shown.push_back(PictureRect{0, 0, width, height});
      if (host->showThrows) throw std::runtime_error("show failed");
      return 0;
    };
    steps.drawAboutScreen = [](void* self, const PictureRect&, bool clear) {
      auto* host = static_cast<HandOffTest*>(self);
      ++host->aboutScreens;
      host->aboutCleared &= clear;
    };
  }
  void TearDown() override {
    ShutDownDrawing();
    platform::SetTimeSource(nullptr);
    ResetFrameLoopState();
  }

  int Call(int playing, const PictureRect& rect = kWindow) {
    return HandOffFrame(playing, rect, HostAudio{spectrum, waveform}, steps);
  }

  // Plays the player's calls every 25 ms (sooner when one ran late) until `until`.
  void PlayUntil(uint32_t until, const PictureRect& rect = kWindow) {
    while (int32_t(until - platform::TickCount()) > 0) {
      const uint32_t due = platform::TickCount() + 25;
      if (DrawThread.DrawThreadHandle != nullptr && DrawThread.FirstRenderPending)
        clock.ExpectThread();
      Call(1, rect);
      const int32_t left = int32_t(due - platform::TickCount());
      if (left > 0) platform::SleepMilliseconds(uint32_t(left));
    }
  }

  platform::LockstepClock clock{kStart};
  unsigned char spectrum[2][kHostSampleCount]{};
  char waveform[2][kHostSampleCount]{};
  FrameShowSteps steps;
  std::vector<PictureRect> shown;
  int aboutScreens = 0;
  bool aboutCleared = true;
  bool showThrows = false;
};

TEST_F(HandOffTest, FirstCallStartsTheThreadSecondShowsTheAboutScreenThenFramesFollow) {
  // After each call: thread made, about screens, first render pending, frames shown (the last
  // one's size), samples wanted. The first call only starts the thread (playing: nothing drawn),
  // the second resumes it and shows the about screen, the third is the first to ask for a size,
  // so its frame is not ready yet; not playing (or a repaint) shows the about screen instead.
  const struct {
    int playing;
    const char* state;
  } calls[] = {{1, "1 0 1 0 0"},
               {1, "1 1 0 0 0"},
               {1, "1 1 0 0 0"},
               {1, "1 1 0 1 64x48 1"},
               {0, "1 2 0 1 64x48 0"}};
  for (const auto& c : calls) {
    if (DrawThread.DrawThreadHandle != nullptr && DrawThread.FirstRenderPending)
      clock.ExpectThread();
    EXPECT_EQ(Call(c.playing), 0);
    std::string state = std::to_string(DrawThread.DrawThreadHandle != nullptr) + " " +
                        std::to_string(aboutScreens) + " " +
                        std::to_string(DrawThread.FirstRenderPending) + " " +
                        std::to_string(shown.size()) + " ";
    if (!shown.empty())
      state += std::to_string(shown.back().right) + "x" + std::to_string(shown.back().bottom) + " ";
    EXPECT_EQ(state + std::to_string(HandOff.SamplesWanted), c.state) << &c - calls;
    platform::SleepMilliseconds(25);
    EXPECT_TRUE(!DrawThread.FirstRenderPending || !Loop.SceneReady);  // still suspended
  }
  EXPECT_TRUE(aboutCleared);
  ShutDownDrawing();
  EXPECT_EQ(IsDrawSurfaceReady(), 0);
}

TEST_F(HandOffTest, SamplesAreCopiedOnlyForATakenFrameAndASizeChangeRebuilds) {
  spectrum[0][10] = 3;
  PlayUntil(kStart + 300);
  const size_t before = shown.size();
  ASSERT_GT(before, 0u);
  EXPECT_EQ(Samples.SpectrumSamples[0][0], 30);
  // The frame finished at the old size is taken without being shown; the thread was then
  // waiting, so this call's samples go in and the next frame, at the new size, is asked for.
  const PictureRect larger{0, 0, 80, 60};
  spectrum[0][10] = 7;
  Call(1, larger);
  EXPECT_EQ(shown.size(), before);
  EXPECT_EQ(HandOff.SamplesWanted, 1);
  EXPECT_EQ(Samples.SpectrumSamples[0][0], 70);
  PlayUntil(kStart + 600, larger);
  ASSERT_GT(shown.size(), before);
  EXPECT_EQ(std::pair(shown.back().right, shown.back().bottom), std::pair(80, 60));

  // No frame to take: nothing shown, nothing copied, and no next frame asked for, since the
  // draw thread may still be drawing the one the host is waiting for.
  ShutDownDrawing();
  ASSERT_EQ(StartDrawThread(), 1);  // never resumed, so no frame will come
  DrawThread.FirstRenderPending = 0;
  spectrum[0][10] = 4;
  const uint32_t asked = platform::TickCount();
  Call(1);
  EXPECT_EQ(HandOff.SamplesWanted, 0);
  EXPECT_EQ(platform::TickCount(), asked);  // no ready scene: no wait at all
  EXPECT_EQ(Samples.SpectrumSamples[0][0], 70);
  EXPECT_FALSE(platform::WaitEvent(DrawThread.FrameRequestEvent, 0));
}

// Every show fails: each taken frame is still followed by the request for the next, so the draw
// thread never stalls in its wait; each failure is reported, which redraws the next frame.
TEST_F(HandOffTest, AFailingShowStillAsksForTheNextFrame) {
  showThrows = true;
  PlayUntil(kStart + 1000);
  EXPECT_GE(shown.size(), 10u);
  EXPECT_FALSE(platform::WaitEvent(DrawThread.FrameRequestEvent, 0));  // taken by the thread
  EXPECT_GE(Loop.EffectChangeCount, 10u);  // each report brings a new effect
}

TEST_F(HandOffTest, AStopEndsTheThreadAndLeavesNothingBehind) {
  // {thread made, resumed, target, ms the stop takes}: a thread blocked in its wait for samples,
  // or napping without a target, ends within the first 100 ms step; one that never ran is ended
  // after ten; without a thread only the events are closed.
  const struct {
    bool made, resumed;
    PictureRect target;
    uint32_t ms;
  } cases[] = {{true, true, {0, 0, 32, 24}, 100},
               {true, true, {}, 100},
               {true, false, {}, 1000},
               {false, false, {}, 0}};
  for (const auto& c : cases) {
    const Census before;
    if (c.made) {
      ASSERT_EQ(StartDrawThread(), 1);
    } else {
      DrawThread.FrameRequestEvent = platform::OpenAutoResetEvent(kFrameRequestEventName);
      DrawThread.FrameDoneEvent = platform::OpenAutoResetEvent(kFrameDoneEventName);
    }
    ASSERT_EQ(platform::OpenEventHandleCount(), before.events + 2);
    DrawThread.FirstRenderPending = 0;
    SetTargetRect(c.target);
    if (c.resumed) {
      clock.ExpectThread();
      ResumeDrawThread();
      // With a target a frame is drawn and handed over; the thread then waits for samples.
      EXPECT_EQ(platform::WaitEvent(DrawThread.FrameDoneEvent, 200), c.target.right != 0);
    }
    const uint32_t asked = platform::TickCount();
    StopDrawThread();
    EXPECT_EQ(platform::TickCount() - asked, c.ms);
    EXPECT_EQ(DrawThread.DrawThreadHandle, nullptr);
    EXPECT_EQ(DrawThread.DrawThreadStop, 0);
    EXPECT_EQ(DrawThread.FirstRenderPending, 1);
    EXPECT_TRUE(SettledCensus(before) == before);  // threads, descriptors, events, handles
    TearDown();
    SetUp();
  }
}

TEST_F(HandOffTest, RunsOnTheSystemClock) {
  // Real threads on real time, for the thread sanitizer: only the sanity of the result is fixed.
  platform::SetTimeSource(nullptr);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (shown.size() < 5 && std::chrono::steady_clock::now() < give_up) {
    Call(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GE(shown.size(), 1u);
}

}  // namespace
