#include "platform/lockstep_clock.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system_event.h"
#include "platform/thread.h"

namespace platform {
namespace {

constexpr uint64_t kNever = UINT64_MAX;
// How often waiting threads check whether everyone waits for an event no taking-part thread can
// signal; then only an outside thread can set one, and they look again.
constexpr auto kStallLook = std::chrono::milliseconds(10);

}  // namespace

struct LockstepClock::State {
  struct Member {
    uint64_t wake = 0;   // its next turn; in an event wait, its next look at the event
    uint64_t order = 0;  // join order
    std::condition_variable turn;
    // In an event wait: the event, the time of its last look (the time-out), and whether its
    // event was not signalled at its last look, so it need not look again before another
    // thread has run.
    EventHandle event = nullptr;
    uint64_t deadline = kNever;
    bool blocked = false;
    bool taken = false;  // the wait's result
  };

  std::mutex lock;
  uint64_t now = 0;  // 64 bits, so wake-ups past a 32-bit wrap still sort after earlier ones
  int pending = 0;
  uint64_t joined = 0;
  std::map<std::thread::id, Member> members;
  std::thread::id holder;
  bool stalled = false;

  // A waiter's look at its event at time `at`, as the waiter itself would look then: true when
  // its wait ends (the event taken, failed, or the time is up).
  static bool LookAt(Member& waiter, uint64_t at) {
    const EventWait got = SystemTakeEventIfSignalled(waiter.event);
    if (got == EventWait::kTimedOut && at < waiter.deadline) {
      waiter.blocked = true;
      return false;
    }
    waiter.taken = got == EventWait::kTaken;
    waiter.event = nullptr;
    return true;
  }

  // Gives the turn to the member with the earliest wake-up (ties: the last to join); with the
  // lock held and nobody holding the turn. An event waiter takes its turn only when its wait
  // ends: it would look every millisecond, but nothing changes its event before another thread
  // runs, so a failed look moves it to its time-out, or to its first look after that thread's
  // turn.
  void PassOn() {
    if (pending > 0) return;
    for (;;) {
      auto next = members.end();
      uint64_t at = 0;
      for (auto it = members.begin(); it != members.end(); ++it) {
        const Member& m = it->second;
        const uint64_t time = m.blocked ? m.deadline : m.wake;
        if (time == kNever) continue;
        if (next == members.end() || time < at || (time == at && m.order > next->second.order)) {
          next = it;
          at = time;
        }
      }
      if (next == members.end()) {
        stalled = true;
        return;
      }
      Member& chosen = next->second;
      if (chosen.event != nullptr && !LookAt(chosen, at)) continue;
      if (at > now) now = at;
      for (auto& [id, m] : members)
        if (m.blocked) {
          m.blocked = false;
          m.wake = m.order < chosen.order ? now : now + 1;
        }
      stalled = false;
      holder = next->first;
      if (holder != std::this_thread::get_id()) chosen.turn.notify_one();
      return;
    }
  }

  // Waits until the caller has the turn.
  void AwaitTurn(Member& self, std::unique_lock<std::mutex>& hold) {
    const auto id = std::this_thread::get_id();
    while (holder != id) {
      if (self.turn.wait_for(hold, kStallLook) == std::cv_status::timeout && stalled &&
          holder == std::thread::id{} && pending == 0) {
        for (auto& [other, m] : members)
          if (m.blocked) {
            m.blocked = false;
            m.wake = now;
          }
        PassOn();
      }
    }
  }

  void Leave(std::thread::id self) {
    std::lock_guard<std::mutex> hold(lock);
    if (members.erase(self) == 0) return;
    if (holder == self) {
      holder = {};
      PassOn();
    }
  }

  // Makes the calling thread a member and waits for its turn; nothing when it is one already.
  Member& Join(const std::shared_ptr<State>& self_state, std::unique_lock<std::mutex>& hold);
};

namespace {

// Leaves every clock this thread joined when the thread ends.
struct Leaver {
  std::vector<std::shared_ptr<LockstepClock::State>> joined;
  ~Leaver() {
    for (auto& state : joined) state->Leave(std::this_thread::get_id());
  }
};

}  // namespace

LockstepClock::State::Member& LockstepClock::State::Join(const std::shared_ptr<State>& self_state,
                                                         std::unique_lock<std::mutex>& hold) {
  const auto self = std::this_thread::get_id();
  auto found = members.find(self);
  if (found != members.end()) return found->second;
  Member& member = members[self];
  member.wake = now;
  member.order = joined++;
  if (pending > 0) --pending;
  thread_local Leaver leaver;
  leaver.joined.push_back(self_state);
  SetCurrentThreadNormalPriority();
  if (holder == std::thread::id{}) PassOn();
  AwaitTurn(member, hold);
  return member;
}

LockstepClock::LockstepClock(uint32_t start) : state_(std::make_shared<State>()) {
  state_->now = start;
}

LockstepClock::~LockstepClock() = default;

void LockstepClock::ExpectThread() {
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->Join(state_, hold);
  ++state_->pending;
}

void LockstepClock::ForgetExpectedThreads() {
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->pending = 0;
  if (state_->holder == std::thread::id{}) state_->PassOn();
}

uint32_t LockstepClock::Now() {
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->Join(state_, hold);
  return uint32_t(state_->now);
}

void LockstepClock::Sleep(uint32_t milliseconds) {
  std::unique_lock<std::mutex> hold(state_->lock);
  State& state = *state_;
  State::Member& self = state.Join(state_, hold);
  self.wake = state.now + milliseconds;
  state.holder = {};
  state.PassOn();
  state.AwaitTurn(self, hold);
}

bool LockstepClock::WaitEvent(EventHandle event, uint32_t milliseconds) {
  std::unique_lock<std::mutex> hold(state_->lock);
  State& state = *state_;
  State::Member& self = state.Join(state_, hold);
  // The first look is the caller's own, on its turn (a wait is where a force-ended thread ends).
  hold.unlock();
  const EventWait first = SystemWaitEvent(event, 0);
  if (first != EventWait::kTimedOut || milliseconds == 0) return first == EventWait::kTaken;
  hold.lock();
  // Then it would look once a millisecond until the time is up.
  self.event = event;
  self.wake = state.now + 1;
  self.deadline = milliseconds == kWaitForever ? kNever : state.now + milliseconds;
  self.blocked = false;
  state.holder = {};
  state.PassOn();
  state.AwaitTurn(self, hold);
  return self.taken;
}

void LockstepClock::SetNow(uint32_t now) {
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->Join(state_, hold);
  state_->now = now;
}

}  // namespace platform
