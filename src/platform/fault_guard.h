#pragma once
// Survival of processor faults on a worker thread: a bad memory access, an illegal instruction
// or an integer division by zero inside a guarded call abandons that call instead of ending
// the process.

namespace platform {

// Runs body(argument). When the processor faults inside it on this thread, the body is left
// where it stands (no destructor of its frames runs, so what it held stays as it was) and the
// call returns false; otherwise it returns true. C++ exceptions pass through untouched. Calls
// nest. On Windows the guard works on threads made by CreateSuspendedThread while their handle
// is open; elsewhere the body simply runs and a fault ends the process as usual.
bool RunGuardingFaults(void (*body)(void*), void* argument);

}  // namespace platform
