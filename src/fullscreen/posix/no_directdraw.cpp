// Without DirectDraw there are no display devices to take over and no modes to list.
#include "fullscreen/display_backend.h"
#include "fullscreen/display_modes.h"

int32_t EnumeratePlatformDevices(DeviceEnumerationContext* context) {
  return 0;
}

void LookUpMonitorFromWindow() {}

void* MonitorOfWindow(void* window, uint32_t flags) {
  return nullptr;
}

int ListDisplayModes(void* dialog, const DisplayDevice* device) {
  ResetModeTable();
  return 0;
}

void AddComboItem(void* dialog, int controlId, uintptr_t value, const char* text) {}
