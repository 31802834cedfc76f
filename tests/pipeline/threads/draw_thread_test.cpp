// Start and stop of the draw thread with real threads on the lock-step virtual clock.
#include "pipeline/draw_thread.h"

#include <gtest/gtest.h>

#include "pipeline/frame_handoff.h"
#include "pipeline/frame_loop.h"
#include "pipeline/threads/thread_census.h"
#include "platform/lockstep_clock.h"

namespace {

class DrawThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameLoopState();
    platform::SetTimeSource(&clock);
  }
  void TearDown() override {
    ShutDownDrawing();
    platform::SetTimeSource(nullptr);
    ResetFrameLoopState();
  }
  platform::LockstepClock clock{100000};
};

TEST_F(DrawThreadTest, AStopEndsTheThreadAndClosesBothEvents) {
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
    const int open_before = platform::OpenEventHandleCount();
    if (c.made) {
      ASSERT_EQ(StartDrawThread(), 1);
    } else {
      DrawThread.FrameRequestEvent = platform::OpenAutoResetEvent(kFrameRequestEventName);
      DrawThread.FrameDoneEvent = platform::OpenAutoResetEvent(kFrameDoneEventName);
    }
    ASSERT_EQ(platform::OpenEventHandleCount(), open_before + 2);
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
    EXPECT_EQ(platform::OpenEventHandleCount(), open_before);
    TearDown();
    SetUp();
  }
}

TEST_F(DrawThreadTest, StartStopCyclesLeaveNoThreadsOrHandlesBehind) {
  const Census before;
  for (int cycle = 0; cycle < 20; ++cycle) {
    ASSERT_EQ(StartDrawThread(), 1) << cycle;
    // Half the threads run (two of them draw frames), half are ended unrun.
    if (cycle % 2 == 1) {
      SetTargetRect(cycle % 10 == 1 ? PictureRect{0, 0, 16, 12} : PictureRect{});
      clock.ExpectThread();
      ResumeDrawThread();
      platform::SleepMilliseconds(3);
    }
    StopDrawThread();
    SetTargetRect(PictureRect{});
    ASSERT_EQ(DrawThread.DrawThreadHandle, nullptr);
  }
  const Census after = SettledCensus(before);
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(after.descriptors, before.descriptors);
  EXPECT_EQ(after.events, before.events);
  EXPECT_EQ(after.thread_handles, before.thread_handles);
}

}  // namespace
