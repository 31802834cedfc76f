#pragma once
// The backend's events; each backend folder implements these and the rest of event.h (in
// system_event.cpp), event_wait.cpp adds virtual time.
#include <cstdint>

#include "platform/event.h"

namespace platform {

enum class EventWait { kTaken, kTimedOut, kFailed };

// Waits on the system clock; 0 only tests and takes a signalled event.
EventWait SystemWaitEvent(EventHandle event, uint32_t milliseconds);

// Takes the event when it is signalled, without waiting; unlike a wait it never ends a
// force-ended thread, so any thread may look on another's behalf (the deterministic clock).
EventWait SystemTakeEventIfSignalled(EventHandle event);

}  // namespace platform
