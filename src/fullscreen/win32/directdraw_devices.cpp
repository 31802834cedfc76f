// The display devices as DirectDraw reports them, and the monitor of a window.
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include "fullscreen/display_devices.h"

namespace {

static_assert(sizeof(GUID) == sizeof(DeviceGuid));

using MonitorFromWindowFunction = HMONITOR(WINAPI*)(HWND, DWORD);

// Looked up at run time: older systems have no MonitorFromWindow.
MonitorFromWindowFunction monitorFromWindow = nullptr;

BOOL WINAPI OnDirectDrawDevice(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context,
                               HMONITOR monitor) {
  try {
    return OnDisplayDevice(reinterpret_cast<const DeviceGuid*>(guid), description, driverName,
                           static_cast<DeviceEnumerationContext*>(context), monitor);
  } catch (...) {
    return FALSE;
  }
}

}  // namespace

int32_t EnumeratePlatformDevices(DeviceEnumerationContext* context) {
  return DirectDrawEnumerateExA(OnDirectDrawDevice, context, DDENUM_ATTACHEDSECONDARYDEVICES);
}

void LookUpMonitorFromWindow() {
  HMODULE user32 = GetModuleHandleA("USER32");
  if (!user32) return;
  // Through a plain function pointer type, which every function pointer converts to.
  auto address = reinterpret_cast<void (*)()>(GetProcAddress(user32, "MonitorFromWindow"));
  monitorFromWindow = reinterpret_cast<MonitorFromWindowFunction>(address);
}

void* MonitorOfWindow(void* window, uint32_t flags) {
  if (!monitorFromWindow) return nullptr;
  return monitorFromWindow(static_cast<HWND>(window), flags);
}
