// Without DirectDraw there are no display devices to take over.
#include "fullscreen/display_devices.h"

int32_t EnumeratePlatformDevices(DeviceEnumerationContext* context) {
  return 0;
}

void LookUpMonitorFromWindow() {}

void* MonitorOfWindow(void* window, uint32_t flags) {
  return nullptr;
}
