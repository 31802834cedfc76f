#include "render/virtual_clock.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>

namespace vevirur {

uint32_t VirtualClock::Now() {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}

void VirtualClock::Sleep(uint32_t milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (released_) {
    now_ += milliseconds;
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds ? 1 : 0));
    return;
  }
  if (std::this_thread::get_id() == driver_) {
    lock.unlock();
    for (uint32_t i = 0; i < milliseconds; ++i) AdvanceOneMillisecond();
    return;
  }
  // The draw thread asks for the idle class, which suits a plug-in sharing the player's machine.
  // Here the driver only waits for it, and an idle-class thread would starve behind the video
  // encoder; give it the normal class (best effort: may be refused without privileges).
  thread_local bool normal_class = false;
  if (!normal_class) {
    normal_class = true;
    sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
  }
  const uint32_t wake = now_ + milliseconds;
  sleeping_ = true;
  wake_ = wake;
  changed_.notify_all();
  // Signed view of the unsigned difference: the wake time may lie past a 32-bit wrap.
  changed_.wait(lock, [&] { return released_ || int32_t(now_ - wake) >= 0; });
  sleeping_ = false;
}

bool VirtualClock::QuiescentLocked() const {
  return released_ || !running_ || (sleeping_ && int32_t(wake_ - now_) > 0);
}

void VirtualClock::SetSleeperRunning(bool running) {
  std::lock_guard<std::mutex> lock(mutex_);
  running_ = running;
  changed_.notify_all();
}

void VirtualClock::AdvanceOneMillisecond() {
  std::unique_lock<std::mutex> lock(mutex_);
  ++now_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return QuiescentLocked(); });
}

void VirtualClock::WaitUntilQuiescent() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return QuiescentLocked(); });
}

void VirtualClock::Release() {
  std::lock_guard<std::mutex> lock(mutex_);
  released_ = true;
  changed_.notify_all();
}

}  // namespace vevirur
