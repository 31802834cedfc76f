// Worker threads and events on the system clock.
#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "pipeline/threads/thread_census.h"
#include "platform/clock.h"
#include "platform/event.h"

namespace {

std::atomic<int> body_runs{0};
std::atomic<int> after_wait{0};
std::atomic<int> swallowed{0};
std::atomic<platform::EventHandle> gate{nullptr};
std::atomic<platform::EventHandle> started{nullptr};

// Exiting threads may need a moment of real time to leave /proc.
bool ThreadCountSettlesAt(int expected) {
  for (int i = 0; i < 200; ++i) {
    if (CountDirectoryEntries("/proc/self/task") == expected) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void CountRun() {
  ++body_runs;
  platform::SignalEvent(started);
}

// Blocks in an event wait that nobody will end, with a handler that must not swallow the end.
void WaitForever() {
  try {
    platform::SignalEvent(started);
    platform::WaitEvent(gate, platform::kWaitForever);
    ++after_wait;
  } catch (...) {
    platform::RethrowThreadCancellation();
    ++swallowed;
  }
}

class Threads : public ::testing::Test {
 protected:
  void SetUp() override {
    gate = platform::OpenAutoResetEvent("PlatformTestGate");
    started = platform::OpenAutoResetEvent("PlatformTestStarted");
    body_runs = after_wait = swallowed = 0;
  }
  // Every test ends its thread and closes its handle: nothing may be left behind.
  void TearDown() override {
    EXPECT_TRUE(ThreadCountSettlesAt(threads_before));
    EXPECT_EQ(platform::OpenThreadHandleCount(), handles_before);
    platform::CloseEvent(gate.exchange(nullptr));
    platform::CloseEvent(started.exchange(nullptr));
  }
  const int threads_before = CountDirectoryEntries("/proc/self/task");
  const int handles_before = platform::OpenThreadHandleCount();
};

TEST_F(Threads, ASuspendedThreadRunsOnlyOnceResumed) {
  platform::ThreadHandle thread = platform::CreateSuspendedThread(CountRun);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(platform::SetThreadIdlePriority(thread));
  EXPECT_FALSE(platform::WaitEvent(started, 30));
  EXPECT_EQ(body_runs, 0);
  EXPECT_TRUE(platform::ResumeSuspendedThread(thread));
  EXPECT_TRUE(platform::WaitEvent(started, 5000));
  EXPECT_FALSE(platform::ResumeSuspendedThread(thread));  // already running
  platform::CloseThread(thread);
  EXPECT_EQ(body_runs, 1);
}

TEST_F(Threads, AThreadEndedBeforeItRanNeverRunsItsBody) {
  platform::ThreadHandle thread = platform::CreateSuspendedThread(CountRun);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(platform::ForceEndThread(thread));
  EXPECT_FALSE(platform::ResumeSuspendedThread(thread));
  platform::CloseThread(thread);
  ASSERT_TRUE(ThreadCountSettlesAt(threads_before));  // gone, so it can no longer run
  EXPECT_EQ(body_runs, 0);
}

TEST_F(Threads, AThreadBlockedInAWaitCanBeForcedToEnd) {
  platform::ThreadHandle thread = platform::CreateSuspendedThread(WaitForever);
  ASSERT_NE(thread, nullptr);
  platform::ResumeSuspendedThread(thread);
  ASSERT_TRUE(platform::WaitEvent(started, 5000));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // well inside its wait
  EXPECT_TRUE(platform::ForceEndThread(thread));
  platform::CloseThread(thread);
  ASSERT_TRUE(ThreadCountSettlesAt(threads_before));  // gone, not merely still waiting
  EXPECT_EQ(after_wait, 0);
  EXPECT_EQ(swallowed, 0);
  // The event it waited on is unharmed.
  EXPECT_TRUE(platform::SignalEvent(gate));
  EXPECT_TRUE(platform::WaitEvent(gate, 0));
}

std::atomic<int> spins{0};

// A loop whose waits fail at once, as a draw loop's do once its events have been closed.
void SpinOnAClosedEvent() {
  platform::EventHandle closed = platform::OpenAutoResetEvent(nullptr);
  platform::CloseEvent(closed);
  for (;;) {
    ++spins;
    platform::WaitEvent(closed, platform::kWaitForever);
  }
}

TEST_F(Threads, AForcedEndAlsoStopsAThreadWhoseWaitsFailAtOnce) {
  platform::ThreadHandle thread = platform::CreateSuspendedThread(SpinOnAClosedEvent);
  ASSERT_NE(thread, nullptr);
  platform::ResumeSuspendedThread(thread);
  while (spins < 100) std::this_thread::yield();
  EXPECT_TRUE(platform::ForceEndThread(thread));
  platform::CloseThread(thread);
}

std::atomic<int> busy_work{0};

// Computes for a while between its naps, as a draw thread drawing a large frame does: it is not
// blocked when the forced end comes.
void WorkBusily() {
  platform::SignalEvent(started);
  for (;;) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < until) ++busy_work;
    platform::SleepMilliseconds(0);
  }
}

TEST_F(Threads, AForcedEndOfABusyThreadReturnsOnlyOnceTheThreadHasStopped) {
  platform::ThreadHandle thread = platform::CreateSuspendedThread(WorkBusily);
  ASSERT_NE(thread, nullptr);
  platform::ResumeSuspendedThread(thread);
  ASSERT_TRUE(platform::WaitEvent(started, 5000));
  while (busy_work < 1000) std::this_thread::yield();
  EXPECT_TRUE(platform::ForceEndThread(thread));
  platform::CloseThread(thread);
  // Nothing of the thread runs any more: no second draw thread beside the next one.
  const int work = busy_work;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(busy_work, work);
}

TEST(Events, AWaitTimesOutAfterItsTimeAndASignalFromAnotherThreadEndsIt) {
  platform::EventHandle event = platform::OpenAutoResetEvent(nullptr);
  ASSERT_NE(event, nullptr);
  const uint32_t before = platform::TickCount();
  EXPECT_FALSE(platform::WaitEvent(event, 50));
  const uint32_t waited = platform::TickCount() - before;
  EXPECT_GE(waited, 49u);
  EXPECT_LT(waited, 2000u);

  std::thread signaller([event] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    platform::SignalEvent(event);
  });
  EXPECT_TRUE(platform::WaitEvent(event, platform::kWaitForever));
  signaller.join();
  platform::CloseEvent(event);
}

TEST(Events, BadHandlesFailWithoutWaiting) {
  EXPECT_FALSE(platform::SignalEvent(nullptr));
  EXPECT_FALSE(platform::WaitEvent(nullptr, platform::kWaitForever));
  platform::CloseEvent(nullptr);
  EXPECT_EQ(platform::CreateSuspendedThread(nullptr), nullptr);
  EXPECT_FALSE(platform::ResumeSuspendedThread(nullptr));
  EXPECT_FALSE(platform::ForceEndThread(nullptr));
  platform::CloseThread(nullptr);
}

}  // namespace
