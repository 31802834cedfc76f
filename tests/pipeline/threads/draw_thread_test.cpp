// Start and stop of the draw thread with real threads on the lock-step virtual clock.
#include "pipeline/draw_thread.h"

#include <gtest/gtest.h>

#include "pipeline/frame_handoff.h"
#include "pipeline/frame_loop.h"
#include "pipeline/threads/thread_census.h"
#include "platform/lockstep_clock.h"

namespace {

constexpr uint32_t kBoot = 100000;

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
  platform::LockstepClock clock{kBoot};
};

TEST(DrawThreadStop, WithoutAThreadStillClosesBothEventsAndSetsFirstRenderPending) {
  const int open_before = platform::OpenEventHandleCount();
  DrawThread.FrameRequestEvent = platform::OpenAutoResetEvent(kFrameRequestEventName);
  DrawThread.FrameDoneEvent = platform::OpenAutoResetEvent(kFrameDoneEventName);
  ASSERT_EQ(platform::OpenEventHandleCount(), open_before + 2);
  DrawThread.FirstRenderPending = 0;
  StopDrawThread();
  EXPECT_EQ(DrawThread.FrameRequestEvent.load(), nullptr);
  EXPECT_EQ(DrawThread.FrameDoneEvent.load(), nullptr);
  EXPECT_EQ(platform::OpenEventHandleCount(), open_before);
  EXPECT_EQ(DrawThread.FirstRenderPending, 1);
}

TEST_F(DrawThreadTest, AThreadBlockedInItsWaitEndsWithinTheFirst100msStep) {
  ASSERT_EQ(StartDrawThread(), 1);
  EXPECT_EQ(DrawThread.FirstRenderPending, 1);
  SetTargetRect(PictureRect{0, 0, 32, 24});
  clock.ExpectThread();
  ResumeDrawThread();
  // The first frame is drawn and handed over; the thread now waits for samples.
  ASSERT_TRUE(platform::WaitEvent(DrawThread.FrameDoneEvent, 1000));
  const uint32_t asked = platform::TickCount();
  StopDrawThread();
  EXPECT_EQ(uint32_t(platform::TickCount() - asked), 100u);
  EXPECT_EQ(DrawThread.DrawThreadHandle, nullptr);
  EXPECT_EQ(DrawThread.DrawThreadStop, 0);
  EXPECT_EQ(DrawThread.FirstRenderPending, 1);
  EXPECT_EQ(DrawThread.FrameRequestEvent.load(), nullptr);
}

TEST_F(DrawThreadTest, WithNoTargetTheThreadOnlyNapsAndDrawsNothing) {
  ASSERT_EQ(StartDrawThread(), 1);
  clock.ExpectThread();
  ResumeDrawThread();
  EXPECT_FALSE(platform::WaitEvent(DrawThread.FrameDoneEvent, 200));
  EXPECT_EQ(Loop.SceneReady, 0);
  const uint32_t asked = platform::TickCount();
  StopDrawThread();
  EXPECT_EQ(uint32_t(platform::TickCount() - asked), 100u);
}

TEST_F(DrawThreadTest, AThreadThatNeverRanIsEndedAfterTenTries) {
  ASSERT_EQ(StartDrawThread(), 1);
  const uint32_t asked = platform::TickCount();
  StopDrawThread();
  EXPECT_EQ(uint32_t(platform::TickCount() - asked), 1000u);
  EXPECT_EQ(DrawThread.DrawThreadStop, 0);
  EXPECT_EQ(DrawThread.DrawThreadHandle, nullptr);
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
