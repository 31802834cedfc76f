#include "platform/system_clock.h"

#include <windows.h>

namespace platform {

uint32_t SystemTickCount() { return GetTickCount(); }

void SystemSleep(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace platform
