#include "fullscreen/display_devices.h"

#include <cstdlib>

namespace {

DeviceAllocator allocateDevice = nullptr;

DisplayDevice* NewDevice() {
  void* memory =
      allocateDevice ? allocateDevice(sizeof(DisplayDevice)) : std::malloc(sizeof(DisplayDevice));
  return static_cast<DisplayDevice*>(memory);
}

DisplayDevice* LastDevice() {
  DisplayDevice* last = DisplayDeviceList;
  while (last && last->next) last = last->next;
  return last;
}

}  // namespace

void SetDeviceAllocator(DeviceAllocator allocate) {
  allocateDevice = allocate;
}

int OnDisplayDevice(const DeviceGuid* guid, const char* description, const char* driverName,
                    DeviceEnumerationContext* context, void* monitor) {
  // The primary-driver entry stands for the display only while no real device is reported.
  static const DeviceGuid kNoGuid{};
  if (DisplayDeviceList && SameGuid(DisplayDeviceList->guid, kNoGuid)) {
    DisplayDevice* rest = DisplayDeviceList->next;
    std::free(DisplayDeviceList);
    DisplayDeviceList = rest;
  }
  DisplayDevice* device = NewDevice();
  if (!device) {
    if (context) context->result = kOutOfMemory;
    return 0;
  }
  std::memset(device, 0, sizeof(*device));
  device->refreshRate = 60;
  device->width = 640;
  device->height = 480;
  device->bitsPerPixel = 16;
  if (guid) device->guid = *guid;
  if (description) {
    std::memcpy(device->description, description,
                strnlen(description, kDeviceDescriptionBytes - 1));
  }
  device->monitor = monitor;
  if (DisplayDevice* last = LastDevice()) {
    last->next = device;
  } else {
    DisplayDeviceList = device;
  }
  return 1;
}

int32_t EnumerateDisplayDevicesWith(DeviceEnumerator enumerate) {
  if (DisplayDeviceList) return 0;
  DeviceEnumerationContext context;
  int32_t result = enumerate(&context);
  if (result < 0) return result;
  if (context.result < 0) return context.result;
  LookUpMonitorFromWindow();
  return 0;
}

int32_t EnumerateDisplayDevices() {
  return EnumerateDisplayDevicesWith(EnumeratePlatformDevices);
}

DisplayDevice* FindDeviceByMonitor(void* monitor) {
  for (DisplayDevice* device = DisplayDeviceList; device; device = device->next) {
    if (device->monitor == monitor) return device;
  }
  return nullptr;
}

DisplayDevice* CopyDeviceList(const DisplayDevice* list) {
  DisplayDevice* copy = nullptr;
  DisplayDevice** tail = &copy;
  for (; list; list = list->next) {
    DisplayDevice* device = NewDevice();
    if (!device) {
      FreeDeviceList(copy);
      return nullptr;
    }
    *device = *list;
    device->next = nullptr;
    *tail = device;
    tail = &device->next;
  }
  return copy;
}

void FreeDeviceList(DisplayDevice* list) {
  while (list) {
    DisplayDevice* next = list->next;
    std::free(list);
    list = next;
  }
}
