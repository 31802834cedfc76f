#pragma once
// The display devices that DirectDraw reports, each with the full-screen mode chosen for it.
// The list and its look-up by identity live in this header alone: the settings file, which
// sits below the full-screen library, looks devices up without linking it.
#include <cstdint>
#include <cstring>

// A DirectDraw device identity, laid out as the platform's GUID.
struct DeviceGuid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
static_assert(sizeof(DeviceGuid) == 16);

inline bool SameGuid(const DeviceGuid& a, const DeviceGuid& b) {
  return std::memcmp(&a, &b, sizeof(DeviceGuid)) == 0;
}

inline constexpr int kDeviceDescriptionBytes = 200;

struct DisplayDevice {
  DeviceGuid guid;  // all zero for the primary display driver
  char description[kDeviceDescriptionBytes];
  void* monitor;  // HMONITOR
  uint32_t refreshRate;
  uint32_t width;
  uint32_t height;
  uint32_t bitsPerPixel;
  DisplayDevice* next;
};

// First record, in enumeration order; nullptr while no device is known. Host thread only.
inline DisplayDevice* DisplayDeviceList = nullptr;

inline DisplayDevice* FindDeviceByGuid(const DeviceGuid& guid) {
  for (DisplayDevice* device = DisplayDeviceList; device; device = device->next) {
    if (SameGuid(device->guid, guid)) return device;
  }
  return nullptr;
}

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

// The monitor showing `window` (HWND), or nullptr when the platform cannot tell.
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
