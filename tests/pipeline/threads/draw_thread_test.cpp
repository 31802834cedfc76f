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

TEST_F(DrawThreadTest, AStopEndsTheThreadAndLeavesNothingBehind) {
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

}  // namespace
