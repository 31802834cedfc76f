// Win32: a vectored exception handler turns a processor fault on a guarded thread into a jump
// back to RunGuardingFaults. GCC has no __try; instead the handler points the faulting thread
// at LeaveFaultedBody on a fresh part of its own stack, which jumps back to where the guard
// began with __builtin_longjmp. That needs no unwind tables, so it works on i686 and x86_64
// alike.
#include <windows.h>

#include "platform/fault_guard.h"
#include "platform/win32/fault_handler.h"

namespace platform {
namespace {

struct FaultGuard {
  void* jump[5];  // __builtin_setjmp's buffer
  FaultGuard* previous;
};

int handler_users = 0;  // host thread only
void* handler = nullptr;
DWORD guard_slot = TLS_OUT_OF_INDEXES;  // the thread's innermost FaultGuard

bool IsProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
      return true;
    default:  // C++ exceptions, breakpoints, stack overflow (no stack left to go on with)
      return false;
  }
}

[[noreturn]] void LeaveFaultedBody() {
  auto* guard = static_cast<FaultGuard*>(TlsGetValue(guard_slot));
  // The faulting code may have left values on the x87 stack or raised flags there.
  __asm__ volatile("fnclex\n\temms");
  __builtin_longjmp(guard->jump, 1);
}

LONG CALLBACK OnProcessorFault(EXCEPTION_POINTERS* info) {
  if (!IsProcessorFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  if (TlsGetValue(guard_slot) == nullptr) return EXCEPTION_CONTINUE_SEARCH;
  CONTEXT* context = info->ContextRecord;
  // Continue in LeaveFaultedBody as if called, below the faulting frame, aligned as a call is.
#if defined(_WIN64)
  context->Rsp = ((context->Rsp - 512) & ~DWORD64{15}) - 8;
  context->Rip = reinterpret_cast<DWORD64>(&LeaveFaultedBody);
#else
  context->Esp = ((context->Esp - 512) & ~DWORD{15}) - 4;
  context->Eip = reinterpret_cast<DWORD>(&LeaveFaultedBody);
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Puts the thread's previous guard back, also when a C++ exception leaves the body.
struct GuardScope {
  FaultGuard* guard;
  ~GuardScope() { TlsSetValue(guard_slot, guard->previous); }
};

}  // namespace

void RetainFaultHandler() {
  if (handler_users++ > 0) return;
  guard_slot = TlsAlloc();
  if (guard_slot != TLS_OUT_OF_INDEXES) handler = AddVectoredExceptionHandler(1, OnProcessorFault);
}

void ReleaseFaultHandler() {
  if (handler_users == 0 || --handler_users > 0) return;
  if (handler != nullptr) RemoveVectoredExceptionHandler(handler);
  handler = nullptr;
  if (guard_slot != TLS_OUT_OF_INDEXES) TlsFree(guard_slot);
  guard_slot = TLS_OUT_OF_INDEXES;
}

bool RunGuardingFaults(void (*body)(void*), void* argument) {
  if (handler == nullptr) {
    body(argument);
    return true;
  }
  FaultGuard guard;
  guard.previous = static_cast<FaultGuard*>(TlsGetValue(guard_slot));
  TlsSetValue(guard_slot, &guard);
  GuardScope scope{&guard};
  if (__builtin_setjmp(guard.jump) == 0) {
    body(argument);
    return true;
  }
  return false;
}

}  // namespace platform
