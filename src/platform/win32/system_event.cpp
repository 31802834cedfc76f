// Named auto-reset events on the Win32 kernel: a name already in use opens the same event.
#include <windows.h>

#include <atomic>

#include "platform/system_event.h"

namespace platform {
namespace {
std::atomic<int> open_handles{0};
}  // namespace

EventHandle OpenAutoResetEvent(const char* name) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name);
  if (event != nullptr) ++open_handles;
  return event;
}

bool SignalEvent(EventHandle event) {
  return event != nullptr && SetEvent(event) != FALSE;
}

EventWait SystemWaitEvent(EventHandle event, uint32_t milliseconds) {
  if (event == nullptr) return EventWait::kFailed;
  switch (
      WaitForSingleObject(event, milliseconds == kWaitForever ? INFINITE : DWORD(milliseconds))) {
    case WAIT_OBJECT_0:
      return EventWait::kTaken;
    case WAIT_TIMEOUT:
      return EventWait::kTimedOut;
    default:
      return EventWait::kFailed;
  }
}

EventWait SystemTakeEventIfSignalled(EventHandle event) {
  return SystemWaitEvent(event, 0);
}

void CloseEvent(EventHandle event) {
  if (event != nullptr && CloseHandle(event) != FALSE) --open_handles;
}

int OpenEventHandleCount() {
  return open_handles;
}

}  // namespace platform
