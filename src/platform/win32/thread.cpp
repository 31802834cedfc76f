// Win32 threads: CreateThread with CREATE_SUSPENDED, idle priority, TerminateThread.
#include <windows.h>

#include <atomic>

#include "platform/thread.h"
#include "platform/win32/fault_handler.h"

namespace platform {
namespace {

std::atomic<int> open_handles{0};
constexpr DWORD kForcedEndWaitMs = 5000;

DWORD WINAPI StartRoutine(LPVOID argument) {
  reinterpret_cast<ThreadBody>(argument)();
  return 0;
}

}  // namespace

ThreadHandle CreateSuspendedThread(ThreadBody body) {
  if (body == nullptr) return nullptr;
  DWORD id = 0;
  HANDLE thread =
      CreateThread(nullptr, 0, StartRoutine, reinterpret_cast<LPVOID>(body), CREATE_SUSPENDED, &id);
  if (thread != nullptr) {
    ++open_handles;
    RetainFaultHandler();
  }
  return thread;
}

bool SetThreadIdlePriority(ThreadHandle thread) {
  return thread != nullptr && SetThreadPriority(thread, THREAD_PRIORITY_IDLE) != FALSE;
}

bool SetCurrentThreadNormalPriority() {
  return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL) != FALSE;
}

bool ResumeSuspendedThread(ThreadHandle thread) {
  return thread != nullptr && ResumeThread(thread) != DWORD(-1);
}

bool ForceEndThread(ThreadHandle thread) {
  if (thread == nullptr || TerminateThread(thread, 0) == FALSE) return false;
  // TerminateThread returns before the thread is gone; wait (boundedly) until it is.
  return WaitForSingleObject(thread, kForcedEndWaitMs) == WAIT_OBJECT_0;
}

void CloseThread(ThreadHandle thread) {
  if (thread != nullptr && CloseHandle(thread) != FALSE) {
    --open_handles;
    ReleaseFaultHandler();
  }
}

void RethrowThreadCancellation() {}

int OpenThreadHandleCount() {
  return open_handles;
}

}  // namespace platform
