#pragma once
// A virtual clock for several real threads that makes their interleaving deterministic: only one
// taking-part thread runs at a time, and when it sleeps the one with the earliest wake-up (ties:
// the one that joined first) runs next, the clock jumping to that wake-up. A thread joins at its
// first clock call and leaves when it ends. Because event waits poll in 1 ms sleeps while a
// virtual clock is installed, every block of the draw thread and the host goes through here.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"

class LockstepClock : public platform::TimeSource {
 public:
  explicit LockstepClock(uint32_t start) : state_(std::make_shared<State>()) {
    state_->now = start;
  }

  // The caller is about to let a new thread run; time stands still until that thread has
  // joined, so its start does not race the others. The caller joins first, if it has not yet.
  void ExpectThread() {
    std::unique_lock<std::mutex> hold(state_->lock);
    Join(hold);
    ++state_->pending;
  }

  uint32_t Now() override {
    std::unique_lock<std::mutex> hold(state_->lock);
    Join(hold);
    return uint32_t(state_->now);
  }

  void Sleep(uint32_t milliseconds) override {
    std::unique_lock<std::mutex> hold(state_->lock);
    Join(hold);
    State& state = *state_;
    const auto self = std::this_thread::get_id();
    state.members[self].wake = state.now + milliseconds;
    state.holder = {};
    state.PassOn();
    state.changed.wait(hold, [&] { return state.holder == self; });
  }

 private:
  struct Member {
    uint64_t wake = 0;
    uint64_t order = 0;
  };
  struct State {
    std::mutex lock;
    std::condition_variable changed;
    uint64_t now = 0;
    int pending = 0;
    uint64_t joined = 0;
    std::map<std::thread::id, Member> members;
    std::thread::id holder;

    // Gives the turn to the earliest sleeper; with the lock held and nobody holding the turn.
    void PassOn() {
      if (pending > 0 || members.empty()) return;
      auto next = members.begin();
      for (auto it = members.begin(); it != members.end(); ++it) {
        if (it->second.wake < next->second.wake ||
            (it->second.wake == next->second.wake && it->second.order < next->second.order)) {
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
  };

  // Leaves every clock this thread joined when the thread ends.
  struct Leaver {
    std::vector<std::shared_ptr<State>> joined;
    ~Leaver() {
      for (auto& state : joined) state->Leave(std::this_thread::get_id());
    }
  };

  void Join(std::unique_lock<std::mutex>& hold) {
    State& state = *state_;
    const auto self = std::this_thread::get_id();
    if (state.members.count(self)) return;
    state.members[self] = Member{state.now, state.joined++};
    if (state.pending > 0) --state.pending;
    thread_local Leaver leaver;
    leaver.joined.push_back(state_);
    if (state.holder == std::thread::id{}) state.PassOn();
    state.changed.wait(hold, [&] { return state.holder == self; });
  }

  std::shared_ptr<State> state_;
};
