#pragma once
// The display devices that DirectDraw reports, each with the full-screen mode chosen for it: the
// record and its look-up by identity. The settings file stores a mode per device and the
// full-screen output builds and uses the list, so the record lives here, below both.
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
  DisplayDevice* next;  // records come from malloc() and go with free()
};

// First record, in enumeration order; nullptr while no device is known. Host thread only.
inline DisplayDevice* DisplayDeviceList = nullptr;

inline DisplayDevice* FindDeviceByGuid(const DeviceGuid& guid) {
  for (DisplayDevice* device = DisplayDeviceList; device; device = device->next) {
    if (SameGuid(device->guid, guid)) return device;
  }
  return nullptr;
}
