#pragma once
// LockstepClock: the deterministic clock. Installed with SetTimeSource, it makes the times every
// thread sees, and the order in which the threads run, the same on every run however busy the
// machine is: only one taking-part thread runs at a time, and when it sleeps the one with the
// earliest wake-up runs next, the clock jumping to that wake-up. Of threads that wake at the same
// time the one that joined last runs first, so a draw thread started by the host's thread does
// its work at a time before the host goes on at that time.
//
// A thread joins at its first clock call (and is given the normal scheduling class: it runs only
// when it has the turn, so an idle-class thread would only hold the others up) and leaves when it
// ends. Event waits go through here too, and end exactly as if the waiter looked at its event
// once every millisecond, but without waking it before its event is taken or its time is up: a
// thread whose event is not signalled sleeps until another thread has run. So every block of
// the draw thread and the host goes through here; a taking-part thread must not block on
// anything else that another taking-part thread releases. Serves the tests, the Linux front
// end's renders and the benchmarks; a single thread may also move the time itself (SetNow).
#include <cstdint>
#include <memory>

#include "platform/clock.h"

namespace platform {

class LockstepClock : public TimeSource {
 public:
  explicit LockstepClock(uint32_t start);
  ~LockstepClock() override;
  LockstepClock(const LockstepClock&) = delete;
  LockstepClock& operator=(const LockstepClock&) = delete;

  // The caller is about to let a new thread run; time stands still until that thread has
  // joined, so its start does not race the others. The caller joins first, if it has not yet.
  void ExpectThread();
  // Time no longer waits for threads expected but not joined yet: for a caller about to stop
  // them, as a thread stopped before its first clock call never joins.
  void ForgetExpectedThreads();

  uint32_t Now() override;
  void Sleep(uint32_t milliseconds) override;
  bool WaitEvent(EventHandle event, uint32_t milliseconds) override;

  // Sets the time; for a driver that is the only taking-part thread.
  void SetNow(uint32_t now);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace platform
