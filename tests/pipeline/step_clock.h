#pragma once
// A virtual clock for one thread: time moves only when the test sets it or something sleeps.
#include <cstdint>

#include "platform/clock.h"

class StepClock : public platform::TimeSource {
 public:
  uint32_t Now() override { return now; }
  void Sleep(uint32_t milliseconds) override { now += milliseconds; }
  uint32_t now = 0;
};
