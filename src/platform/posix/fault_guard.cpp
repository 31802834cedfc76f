// POSIX: no guard; a fault raises its signal as usual.
#include "platform/fault_guard.h"

namespace platform {

bool RunGuardingFaults(void (*body)(void*), void* argument) {
  body(argument);
  return true;
}

}  // namespace platform
