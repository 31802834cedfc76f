// The 16-bit modes of one DirectDraw device, listed in the options dialog's Resolution box.
#include <cstring>

#include "fullscreen/display_modes.h"
#include "fullscreen/win32/directdraw_modes.h"

namespace {

DirectDrawCreator createDirectDraw = nullptr;

HRESULT WINAPI OnDirectDrawMode(LPDDSURFACEDESC2 description, LPVOID context) {
  try {
    DisplayMode offered{description->dwWidth, description->dwHeight, description->dwRefreshRate,
                        description->ddpfPixelFormat.dwRGBBitCount};
    return OnDisplayMode(offered) ? DDENUMRET_OK : DDENUMRET_CANCEL;
  } catch (...) {
    return DDENUMRET_CANCEL;
  }
}

}  // namespace

int ListDisplayModes(HWND dialog, const DisplayDevice* device) {
  SendDlgItemMessageA(dialog, kResolutionList, CB_RESETCONTENT, 0, 0);
  ResetModeTable();
  if (!device) return 0;
  // The primary driver's all-zero identity is passed as it is, like every other.
  GUID guid;
  std::memcpy(&guid, &device->guid, sizeof(guid));
  IDirectDraw7* directDraw = nullptr;
  if (CreateDirectDraw(&guid, &directDraw) != DD_OK) return 0;
  // A failing enumeration simply leaves the list empty.
  directDraw->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, nullptr, OnDirectDrawMode);
  for (uint32_t i = 0; i < ModeTable.count; ++i) {
    char text[kModeTextBytes];
    AddComboItem(dialog, kResolutionList, i, FormatDisplayMode(ModeTable.slots[i], text));
  }
  uint32_t selected = ChosenModeSlot(*device);
  directDraw->Release();
  SendDlgItemMessageA(dialog, kResolutionList, CB_SETCURSEL, selected, 0);
  return 1;
}

void AddComboItem(HWND dialog, int controlId, uintptr_t value, const char* text) {
  LRESULT index =
      SendDlgItemMessageA(dialog, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index < 0) return;  // CB_ERR or CB_ERRSPACE: there is no item to attach the value to
  SendDlgItemMessageA(dialog, controlId, CB_SETITEMDATA, static_cast<WPARAM>(index),
                      static_cast<LPARAM>(value));
}

void SetDirectDrawCreator(DirectDrawCreator create) {
  createDirectDraw = create;
}

HRESULT CreateDirectDraw(const GUID* identity, IDirectDraw7** object) {
  *object = nullptr;
  GUID guid;
  if (identity) guid = *identity;
  HRESULT result = (createDirectDraw ? createDirectDraw : DirectDrawCreateEx)(
      identity ? &guid : nullptr, reinterpret_cast<void**>(object), IID_IDirectDraw7, nullptr);
  if (result == DD_OK && !*object) return DDERR_GENERIC;
  return result;
}
