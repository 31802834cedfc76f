// Lists the DirectDraw display devices and their usable modes the way the options dialog does,
// into a plain window with a Resolution combo box. Run under Wine by the native tests.
#include <windows.h>

#include <cstdio>

#include "fullscreen/display_devices.h"
#include "fullscreen/display_modes.h"
#include "fullscreen/win32/directdraw_modes.h"

int main() {
  int32_t result = EnumerateDisplayDevices();
  std::printf("EnumerateDisplayDevices: 0x%08lx\n", static_cast<unsigned long>(result));
  if (result != 0 || !DisplayDeviceList) {
    std::printf("FAILED: no display device\n");
    return 1;
  }
  HWND dialog = CreateWindowExA(0, "STATIC", "modes", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  HWND combo =
      CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 150, 150, dialog,
                      reinterpret_cast<HMENU>(kResolutionList), GetModuleHandleA(nullptr), nullptr);
  if (!dialog || !combo) {
    std::printf("FAILED: no window\n");
    return 1;
  }
  void* monitor = MonitorOfWindow(dialog, kMonitorDefaultToPrimary);
  std::printf("monitor of the window: %p, device on it: %s\n", monitor,
              FindDeviceByMonitor(monitor) ? FindDeviceByMonitor(monitor)->description : "none");

  int failures = 0;
  int index = 0;
  for (DisplayDevice* device = DisplayDeviceList; device; device = device->next, ++index) {
    const DeviceGuid& g = device->guid;
    std::printf("device %d: \"%s\" guid %08lx-%04x-%04x monitor %p mode %ux%u %u bits %u Hz\n",
                index, device->description, static_cast<unsigned long>(g.data1), g.data2, g.data3,
                device->monitor, device->width, device->height, device->bitsPerPixel,
                device->refreshRate);
    int listed = ListDisplayModes(dialog, device);
    LRESULT items = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    std::printf("  ListDisplayModes: %d, %u modes, %ld items, selected %ld\n", listed,
                ModeTable.count, static_cast<long>(items), static_cast<long>(selected));
    for (LRESULT i = 0; i < items; ++i) {
      char text[64] = "";
      SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      LRESULT value = SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
      if (i < 12 || i == items - 1) std::printf("    [%ld] %s\n", static_cast<long>(value), text);
      if (value != i) ++failures;
    }
    if (listed != 1 || items != static_cast<LRESULT>(ModeTable.count) ||
        (items > 0 && selected != static_cast<LRESULT>(ChosenModeSlot(*device)))) {
      ++failures;
    }
  }
  DestroyWindow(dialog);
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  std::printf("%s\n", failures ? "FAILED" : "PASSED");
  return failures ? 1 : 0;
}
