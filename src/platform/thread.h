#pragma once
// Worker threads of the platform seam: created suspended, started by an explicit resume.
// Our names avoid the Win32 functions of the same meaning.

namespace platform {

using ThreadHandle = void*;  // null = no thread
using ThreadBody = void (*)();

// Creates a thread that will run `body` once resumed; the thread's exit code is 0.
// Returns null on failure.
ThreadHandle CreateSuspendedThread(ThreadBody body);

// Lowest scheduling class: the thread runs only when the processor has nothing else to do
// (THREAD_PRIORITY_IDLE on Windows, SCHED_IDLE on Linux). False when refused.
bool SetThreadIdlePriority(ThreadHandle thread);

// Gives the calling thread the normal scheduling class again (best effort: false when refused).
bool SetCurrentThreadNormalPriority();

// Lets a suspended thread run its body.
bool ResumeSuspendedThread(ThreadHandle thread);

// Ends a thread that would not end by itself, and returns once it has ended (true), or false
// when it could not be ended within a few seconds. On Windows the thread stops where it is.
// POSIX has no safe way to do that: a thread that never ran is released without running its
// body; a running one is cancelled and ends at its next sleep or event wait, unwinding its stack
// (so locks held in scope are released). Use only as a last resort.
bool ForceEndThread(ThreadHandle thread);

// Releases the handle; the thread itself is not affected.
void CloseThread(ThreadHandle thread);

// Call first in every catch (...) that can run on a thread that may be force-ended: on POSIX it
// lets the cancellation's unwinding go on instead of swallowing it; elsewhere it does nothing.
// Only valid inside a handler.
void RethrowThreadCancellation();

// Threads created here whose handle is still open, for leak checks.
int OpenThreadHandleCount();

}  // namespace platform
