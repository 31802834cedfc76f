#include "platform/lockstep_clock.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/thread.h"

namespace platform {

struct LockstepClock::State {
  struct Member {
    uint64_t wake = 0;
    uint64_t order = 0;  // join order
  };

  std::mutex lock;
  std::condition_variable changed;
  uint64_t now = 0;  // 64 bits, so wake-ups past a 32-bit wrap still sort after earlier ones
  int pending = 0;
  uint64_t joined = 0;
  std::map<std::thread::id, Member> members;
  std::thread::id holder;

  // Gives the turn to the earliest sleeper (ties: the last to join); with the lock held and
  // nobody holding the turn.
  void PassOn() {
    if (pending > 0 || members.empty()) return;
    auto next = members.begin();
    for (auto it = members.begin(); it != members.end(); ++it) {
      if (it->second.wake < next->second.wake ||
          (it->second.wake == next->second.wake && it->second.order > next->second.order)) {
        next = it;
      }
    }
    if (next->second.wake > now) now = next->second.wake;
    holder = next->first;
    changed.notify_all();
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
  void Join(const std::shared_ptr<State>& self_state, std::unique_lock<std::mutex>& hold);
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

void LockstepClock::State::Join(const std::shared_ptr<State>& self_state,
                                std::unique_lock<std::mutex>& hold) {
  const auto self = std::this_thread::get_id();
  if (members.count(self)) return;
  members[self] = Member{now, joined++};
  if (pending > 0) --pending;
  thread_local Leaver leaver;
  leaver.joined.push_back(self_state);
  SetCurrentThreadNormalPriority();
  if (holder == std::thread::id{}) PassOn();
  changed.wait(hold, [&] { return holder == self; });
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

uint32_t LockstepClock::Now() {
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->Join(state_, hold);
  return uint32_t(state_->now);
}

void LockstepClock::Sleep(uint32_t milliseconds) {
  std::unique_lock<std::mutex> hold(state_->lock);
  State& state = *state_;
  state.Join(state_, hold);
  const auto self = std::this_thread::get_id();
  state.members[self].wake = state.now + milliseconds;
  state.holder = {};
  state.PassOn();
  state.changed.wait(hold, [&] { return state.holder == self; });
}

void LockstepClock::SetNow(uint32_t now) {
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->Join(state_, hold);
  state_->now = now;
}

}  // namespace platform
