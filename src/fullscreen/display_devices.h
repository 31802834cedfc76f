#pragma once
// Building the list of display devices (settings/display_device.h) from the platform's
// enumeration, and the look-ups, copies and monitors the full-screen output and the options
// dialog use.
#include <cstdint>

#include "settings/display_device.h"

// What one enumeration hands from call to call of OnDisplayDevice.
struct DeviceEnumerationContext {
  int32_t result = 0;
};

inline constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000E);

// One device reported by the enumeration (guid nullptr for the primary display driver).
// Returns 1 to go on, 0 to stop (out of memory, with the code in the context).
int OnDisplayDevice(const DeviceGuid* guid, const char* description, const char* driverName,
                    DeviceEnumerationContext* context, void* monitor);

// Builds DisplayDeviceList once per process with the platform's DirectDraw enumeration.
// 0 when built or already there, else the enumeration's failing code or kOutOfMemory; the
// devices reported before a failure stay in the list.
int32_t EnumerateDisplayDevices();

// The same with a given enumeration, which calls OnDisplayDevice per device and returns its
// own result code (negative on failure).
using DeviceEnumerator = int32_t (*)(DeviceEnumerationContext* context);
int32_t EnumerateDisplayDevicesWith(DeviceEnumerator enumerate);

// What the platform provides (DirectDraw on Windows, nothing elsewhere): reports every attached
// display device to OnDisplayDevice and returns the enumeration's result code, ...
int32_t EnumeratePlatformDevices(DeviceEnumerationContext* context);
// ... finds MonitorFromWindow in the already loaded user-interface library, if it has one, ...
void LookUpMonitorFromWindow();
// ... and tells the monitor showing `window` (HWND), or nullptr when the platform cannot tell.
void* MonitorOfWindow(void* window, uint32_t flags);
inline constexpr uint32_t kMonitorDefaultToPrimary = 1;

// First record whose monitor is `monitor` (nullptr matches a record without a monitor).
DisplayDevice* FindDeviceByMonitor(void* monitor);

// A copy of every record in order; nullptr for an empty list and when memory runs out
// (then nothing of the copy is left over).
DisplayDevice* CopyDeviceList(const DisplayDevice* list);
void FreeDeviceList(DisplayDevice* list);

// Where records come from; tests replace it to run out of memory. Its memory must be freeable
// with free(); nullptr restores malloc.
using DeviceAllocator = void* (*)(size_t bytes);
void SetDeviceAllocator(DeviceAllocator allocate);
