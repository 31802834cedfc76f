#pragma once
// Millisecond clock and sleep of the platform seam.
#include <cstdint>

#include "platform/event.h"

namespace platform {

// A replacement for the system clock: a virtual clock in tests, audio time in offline rendering.
class TimeSource {
 public:
  virtual ~TimeSource() = default;
  virtual uint32_t Now() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // WaitEvent while this source is installed: the wait is measured on this source. This one
  // looks at the event once every millisecond of the source's sleeps.
  virtual bool WaitEvent(EventHandle event, uint32_t milliseconds);
};

// 32-bit millisecond tick count (GetTickCount-style). It wraps after 49.7 days, so callers
// compare two ticks only by their unsigned difference.
uint32_t TickCount();

void SleepMilliseconds(uint32_t milliseconds);

// Routes TickCount and SleepMilliseconds to `source`; nullptr restores the system clock.
// The caller keeps `source` alive while it is installed.
void SetTimeSource(TimeSource* source);

// The source installed by SetTimeSource, or nullptr while the system clock is in use.
TimeSource* InstalledTimeSource();

}  // namespace platform
