#include "platform/clock.h"

#include <atomic>

#include "platform/system_clock.h"

namespace platform {
namespace {
std::atomic<TimeSource*> installed_source{nullptr};
}  // namespace

uint32_t TickCount() {
  TimeSource* source = installed_source.load(std::memory_order_acquire);
  return source ? source->Now() : SystemTickCount();
}

void SleepMilliseconds(uint32_t milliseconds) {
  TimeSource* source = installed_source.load(std::memory_order_acquire);
  if (source) {
    source->Sleep(milliseconds);
  } else {
    SystemSleep(milliseconds);
  }
}

void SetTimeSource(TimeSource* source) { installed_source.store(source, std::memory_order_release); }

TimeSource* InstalledTimeSource() { return installed_source.load(std::memory_order_acquire); }

}  // namespace platform
