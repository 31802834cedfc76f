#include "platform/event.h"

#include "platform/clock.h"
#include "platform/system_event.h"

namespace platform {

bool WaitEvent(EventHandle event, uint32_t milliseconds) {
  if (InstalledTimeSource() == nullptr)
    return SystemWaitEvent(event, milliseconds) == EventWait::kTaken;

  // Virtual time advances only through sleeps of the installed source, so poll on it.
  const uint32_t start = TickCount();
  for (;;) {
    const EventWait result = SystemWaitEvent(event, 0);
    if (result != EventWait::kTimedOut) return result == EventWait::kTaken;
    if (milliseconds != kWaitForever && uint32_t(TickCount() - start) >= milliseconds) return false;
    SleepMilliseconds(1);
  }
}

}  // namespace platform
