#pragma once
// What the display-device logic needs from the platform (DirectDraw on Windows).
#include <cstdint>

#include "fullscreen/display_devices.h"

// Reports every attached display device to OnDisplayDevice; the enumeration's result code.
int32_t EnumeratePlatformDevices(DeviceEnumerationContext* context);

// Finds MonitorFromWindow in the already loaded user-interface library, if it has one.
void LookUpMonitorFromWindow();
