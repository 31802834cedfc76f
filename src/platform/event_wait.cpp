#include "platform/event.h"

#include "platform/clock.h"
#include "platform/system_event.h"

namespace platform {

bool TimeSource::WaitEvent(EventHandle event, uint32_t milliseconds) {
  // Virtual time advances only through sleeps of the source, so look in 1 ms sleeps.
  const uint32_t start = Now();
  for (;;) {
    const EventWait result = SystemWaitEvent(event, 0);
    if (result != EventWait::kTimedOut) return result == EventWait::kTaken;
    if (milliseconds != kWaitForever && uint32_t(Now() - start) >= milliseconds) return false;
    Sleep(1);
  }
}

bool WaitEvent(EventHandle event, uint32_t milliseconds) {
  if (TimeSource* source = InstalledTimeSource()) return source->WaitEvent(event, milliseconds);
  return SystemWaitEvent(event, milliseconds) == EventWait::kTaken;
}

}  // namespace platform
