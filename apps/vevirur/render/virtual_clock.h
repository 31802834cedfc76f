#pragma once
// Audio time for offline rendering: a platform TimeSource that the rendering driver (the
// stand-in for the player's thread) advances itself, so the draw thread's pacing, governor and
// effect clocks see the same times on every run, however busy the machine is.
//
// The draw thread only ever blocks in Sleep (event waits poll in 1 ms sleeps while a source is
// installed), so it is "quiescent" exactly when it sleeps towards a time still in the future.
// The driver advances time one millisecond at a time and after each step waits for that; a
// Sleep on the driver thread (the host's wait for a frame) is such steps.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/clock.h"

namespace vevirur {

class VirtualClock : public platform::TimeSource {
 public:
  // The constructing thread is the driver.
  explicit VirtualClock(uint32_t start) : now_(start), driver_(std::this_thread::get_id()) {}

  uint32_t Now() override;
  // Draw thread: blocks until time has passed now + milliseconds. Driver: advances that far.
  void Sleep(uint32_t milliseconds) override;

  // Whether a draw thread runs and must be waited for after each step.
  void SetSleeperRunning(bool running);
  // One millisecond on, then wait until the draw thread is back asleep.
  void AdvanceOneMillisecond();
  // Waits until the draw thread sleeps towards a time after now (at once if none runs).
  void WaitUntilQuiescent();
  // From now on sleeps are short real ones that still move the clock and nothing waits for
  // quiescence: for stopping the draw thread, whose end the clock cannot see.
  void Release();

 private:
  bool QuiescentLocked() const;

  std::mutex mutex_;
  std::condition_variable changed_;
  uint32_t now_;
  const std::thread::id driver_;
  bool running_ = false;
  bool sleeping_ = false;
  uint32_t wake_ = 0;
  bool released_ = false;
};

}  // namespace vevirur
