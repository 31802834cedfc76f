#pragma once
// The process-wide handler behind RunGuardingFaults. It is installed while any thread handle
// made by CreateSuspendedThread is open, so none is left behind when the library unloads.
// Host thread only.

namespace platform {

void RetainFaultHandler();
void ReleaseFaultHandler();

}  // namespace platform
