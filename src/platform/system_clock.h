#pragma once
// The backend's real clock; each backend folder implements these two.
#include <cstdint>

namespace platform {
uint32_t SystemTickCount();
void SystemSleep(uint32_t milliseconds);
}  // namespace platform
