#pragma once
// Named auto-reset events of the platform seam. A second opener of the same name gets the same
// event, in this process and (on Windows) in any other. Our names avoid the Win32 macros.
#include <cstdint>

namespace platform {

using EventHandle = void*;  // null = no event

constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

// Creates the auto-reset event `name`, initially not signalled, or opens it when it exists.
// Returns null on failure.
EventHandle OpenAutoResetEvent(const char* name);

// Sets the event; one waiter (now or later) takes it and it resets. False for a bad handle.
bool SignalEvent(EventHandle event);

// Takes the event, waiting at most `milliseconds` (kWaitForever: no limit). True when taken,
// false on time-out or a bad handle. While a TimeSource is installed the wait is measured on it
// (TimeSource::WaitEvent), so virtual time drives time-outs too.
bool WaitEvent(EventHandle event, uint32_t milliseconds);

// Releases this handle; the event itself lives on while other handles or waiters hold it.
void CloseEvent(EventHandle event);

// Handles opened and not yet closed in this process, for leak checks.
int OpenEventHandleCount();

}  // namespace platform
