#include "fullscreen/win32/options_dialog.h"

#include <shellapi.h>

#include "bridge/plugin_state.h"
#include "fullscreen/display_devices.h"
#include "fullscreen/display_modes.h"
#include "fullscreen/win32/directdraw_modes.h"
#include "settings/plugin_settings.h"
#include "settings/settings_file.h"
#include "ui/about_texts.h"

namespace {

struct OptionsDialogState {
  HWND dialog = nullptr;
  HINSTANCE instance = nullptr;  // whose settings file OK writes
  // The adapter list from before the dialog while DisplayDeviceList is the working copy; only
  // when `listSetAside` is set does the list belong to the dialog to free or to put back.
  DisplayDevice* setAsideList = nullptr;
  bool listSetAside = false;
  SiteOpener openSite = nullptr;
};

OptionsDialogState state;

// The record attached to the selected Display Adapter item, or null when nothing is selected.
DisplayDevice* SelectedAdapter(HWND dialog) {
  LRESULT index = SendDlgItemMessageA(dialog, kAdapterList, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return nullptr;
  LRESULT value = SendDlgItemMessageA(dialog, kAdapterList, CB_GETITEMDATA, index, 0);
  if (value == CB_ERR) return nullptr;
  return reinterpret_cast<DisplayDevice*>(value);
}

// The ModeTable slot of the selected Resolution item, or null when the list is empty or holds
// no selection: then nothing of the table is read.
const DisplayMode* SelectedMode(HWND dialog) {
  LRESULT index = SendDlgItemMessageA(dialog, kResolutionList, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return nullptr;
  LRESULT slot = SendDlgItemMessageA(dialog, kResolutionList, CB_GETITEMDATA, index, 0);
  if (slot < 0 || static_cast<uint64_t>(slot) >= ModeTable.count) return nullptr;
  return &ModeTable.slots[slot];
}

void StoreMode(const DisplayMode& mode) {
  PluginSettings.fs_width = static_cast<int>(mode.width);
  PluginSettings.fs_height = static_cast<int>(mode.height);
  PluginSettings.fs_refresh = static_cast<int>(mode.refreshRate);
  PluginSettings.fs_bits = static_cast<int>(mode.bitsPerPixel);
}

void InitialiseDialog(HWND dialog) {
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  if (!DisplayDeviceList) return;  // both lists stay empty
  DisplayDevice* copy = CopyDeviceList(DisplayDeviceList);
  // Without memory for the copy the dialog shows empty lists and leaves the list alone.
  if (!copy) return;
  state.setAsideList = DisplayDeviceList;
  state.listSetAside = true;
  DisplayDeviceList = copy;

  SendDlgItemMessageA(dialog, kAdapterList, CB_RESETCONTENT, 0, 0);
  DisplayDevice* chosen = copy;
  int chosenPosition = 0;
  int position = 0;
  for (DisplayDevice* device = copy; device; device = device->next, ++position) {
    if (SameGuid(device->guid, PluginSettings.fs_guid)) {
      chosen = device;
      chosenPosition = position;
    }
    AddComboItem(dialog, kAdapterList, reinterpret_cast<uintptr_t>(device), device->description);
  }
  SendDlgItemMessageA(dialog, kAdapterList, CB_SETCURSEL, chosenPosition, 0);
  SendDlgItemMessageA(dialog, kMonitorRuleCheckBox, BM_SETCHECK,
                      PluginSettings.fs_current_monitor ? BST_CHECKED : BST_UNCHECKED, 0);
  // An adapter that cannot be opened simply leaves the Resolution list empty.
  ListDisplayModes(dialog, chosen);
}

void AcceptDialog(HWND dialog) {
  if (state.listSetAside) {
    FreeDeviceList(state.setAsideList);
    state.setAsideList = nullptr;
    state.listSetAside = false;
  }
  // An empty Resolution list keeps the stored mode.
  if (const DisplayMode* mode = SelectedMode(dialog)) StoreMode(*mode);
  if (const DisplayDevice* adapter = SelectedAdapter(dialog))
    PluginSettings.fs_guid = adapter->guid;
  PluginSettings.fs_current_monitor =
      SendDlgItemMessageA(dialog, kMonitorRuleCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  SaveSettings(state.instance);
  EndDialog(dialog, 1);
}

// Puts the list from before back, if this dialog set one aside.
void RestoreSetAsideList() {
  if (!state.listSetAside) return;
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = state.setAsideList;
  state.setAsideList = nullptr;
  state.listSetAside = false;
}

INT_PTR OnCommand(HWND dialog, int id, int notification) {
  switch (id) {
    case kAdapterList: {
      if (notification != CBN_SELCHANGE) return 0;
      DisplayDevice* adapter = SelectedAdapter(dialog);
      if (!adapter || ListDisplayModes(dialog, adapter) != 1) {
        MessageBoxA(dialog, kModesErrorText, kModesErrorCaption, MB_ICONHAND);
      }
      return 1;
    }
    case kResolutionList: {
      if (notification != CBN_SELCHANGE) return 0;
      const DisplayMode* mode = SelectedMode(dialog);
      if (!mode) return 1;
      StoreMode(*mode);
      if (DisplayDevice* adapter = SelectedAdapter(dialog)) {
        adapter->width = mode->width;
        adapter->height = mode->height;
        adapter->refreshRate = mode->refreshRate;
        adapter->bitsPerPixel = mode->bitsPerPixel;
      }
      return 1;
    }
    case IDOK:
      AcceptDialog(dialog);
      return 1;
    case IDCANCEL:
      RestoreSetAsideList();
      EndDialog(dialog, 1);
      return 1;
    case kWebSiteButton:
      (state.openSite ? state.openSite : ShellExecuteA)(Plugin.VisWindow, "open", kMakerWebSite, "",
                                                        "", SW_SHOW);
      AcceptDialog(dialog);
      return 1;
    case kMonitorRuleHelpButton:
      MessageBoxA(dialog, kMonitorRuleText, kMonitorRuleCaption, MB_OK);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

HWND OptionsDialogWindow() {
  return state.dialog;
}

void RunOptionsDialog(HINSTANCE instance, HWND owner) {
  state.instance = instance;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(kOptionsDialogResource), owner, OptionsDialogProc, 0);
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      state.dialog = dialog;
      InitialiseDialog(dialog);
      return 1;
    case WM_DESTROY:
      // Closed some other way than OK or Cancel (its owner went): the old list comes back.
      RestoreSetAsideList();
      state.dialog = nullptr;
      return 1;
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
      return 0;
  }
}

void SetSiteOpener(SiteOpener open) {
  state.openSite = open;
}

void ResetOptionsDialogState() {
  state = OptionsDialogState{};
}
