// Threads, events and the deterministic clock.
#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/event.h"
#include "platform/lockstep_clock.h"
#include "platform/thread_census.h"

namespace {

// Both tests leave both events unsignalled.
platform::EventHandle ping = platform::OpenAutoResetEvent(nullptr);
platform::EventHandle pong = platform::OpenAutoResetEvent(nullptr);

// What the test thread does once resumed, after signalling `pong`: it never runs, waits for
// `ping` (never signalled there), spins on waits that fail at once (a null handle, as a draw
// loop's closed events), or computes between naps (as a draw thread drawing a large frame).
enum class Does { kNeverRuns, kWaits, kSpins, kComputes };
std::atomic<Does> does;
std::atomic<int> progress{0};

void Body() {
  platform::SignalEvent(pong);
  try {
    if (does == Does::kWaits) platform::WaitEvent(ping, platform::kWaitForever);
  } catch (...) {
    platform::RethrowThreadCancellation();  // a swallowed end would go on below
  }
  for (;;) {
    ++progress;
    const auto nap = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(does == Does::kSpins ? 0 : 200);
    while (std::chrono::steady_clock::now() < nap) ++progress;
    if (does == Does::kSpins)
      platform::WaitEvent(nullptr, platform::kWaitForever);
    else
      platform::SleepMilliseconds(0);
  }
}

// A thread runs only once resumed; a forced end returns only once it has stopped, wherever it
// was, and leaves nothing behind.
TEST(Threads, RunOnlyOnceResumedAndAForcedEndStopsThemWhereverTheyAre) {
  const Census before;
  for (Does what : {Does::kNeverRuns, Does::kWaits, Does::kSpins, Does::kComputes}) {
    does = what;
    progress = 0;
    platform::ThreadHandle thread = platform::CreateSuspendedThread(Body);
    EXPECT_FALSE(platform::WaitEvent(pong, 30));
    ASSERT_TRUE(what == Does::kNeverRuns ||
                (platform::ResumeSuspendedThread(thread) && platform::WaitEvent(pong, 5000)));
    platform::SleepMilliseconds(20);  // well inside its wait or its work
    EXPECT_TRUE(platform::ForceEndThread(thread));
    platform::CloseThread(thread);
    const int work = progress;
    platform::SleepMilliseconds(50);
    EXPECT_EQ(progress, work);
    EXPECT_EQ(work > 0, what >= Does::kSpins);  // a blocked one never gets to work
  }
  EXPECT_TRUE(SettledCensus(before) == before);
}

// Of two threads due at the same time the one that joined last runs first; a wait looks at its
// event once a millisecond, so it ends at the first look after the signal, or at its time-out.
TEST(LockstepClock, TurnsAndEventWaitsEndInTheOrderOfMillisecondLooks) {
  platform::LockstepClock clock(1000);
  platform::SetTimeSource(&clock);
  std::vector<std::string> notes;
  auto note = [&](std::string s) { notes.push_back(s + std::to_string(platform::TickCount())); };
  clock.ExpectThread();  // the helper joins before time goes on
  std::thread helper([&] {
    note("h");
    note(platform::WaitEvent(ping, 50) ? "h-ping" : "h-lost");
    platform::SleepMilliseconds(1);
    platform::SignalEvent(pong);
    note(platform::WaitEvent(ping, 3) ? "h-ping" : "h-timeout");
  });
  platform::SleepMilliseconds(10);
  platform::SignalEvent(ping);
  note("m");
  note(platform::WaitEvent(pong, 5) ? "m-pong" : "m-lost");
  platform::SleepMilliseconds(3);
  note("m");
  platform::SleepMilliseconds(100);  // lets a helper running late end
  helper.join();
  platform::SetTimeSource(nullptr);
  EXPECT_EQ(notes, (std::vector<std::string>{"h1000", "m1010", "h-ping1011", "m-pong1012",
                                             "h-timeout1015", "m1015"}));
}

// A thread stopped before its first clock call never joins: once forgotten, time goes on.
TEST(LockstepClock, AnExpectedThreadThatNeverJoinsCanBeForgotten) {
  platform::LockstepClock clock(0);
  clock.ExpectThread();
  clock.ForgetExpectedThreads();
  clock.Sleep(100);
  EXPECT_EQ(clock.Now(), 100u);
}

}  // namespace
