// The options dialog on the system's own dialog manager and DirectDraw: the lists it shows, its
// buttons, and what OK and Cancel leave behind in the adapter list, the settings and
// the settings file. A second thread works the dialog as a person would while the first runs it.
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include <cstring>
#include <functional>
#include <string>

#include "bridge/plugin_state.h"
#include "fullscreen/display_devices.h"
#include "fullscreen/win32/directdraw_modes.h"
#include "fullscreen/win32/options_dialog.h"
#include "settings/plugin_settings.h"
#include "settings/settings_file.h"
#include "win_check.h"

using win_check::Check;

namespace {

LRESULT Item(HWND dialog, int id, UINT message, WPARAM wParam = 0) {
  return SendDlgItemMessageA(dialog, id, message, wParam, 0);
}

std::string ItemText(HWND dialog, int id, LRESULT index) {
  char text[256] = "";
  SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

// Selects item `index` of combo box `id` as a person would, with its change notice; gives up
// waiting after 500 ms, when the notice opens a message box.
void Choose(HWND dialog, int id, int index) {
  Item(dialog, id, CB_SETCURSEL, index);
  SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), 0, 500, nullptr);
}

// Waits for the message box with `caption`, closes it and returns its text.
std::string AnswerMessageBox(const char* caption) {
  HWND box = nullptr;
  if (!win_check::WaitFor([&] { return (box = FindWindowA("#32770", caption)) != nullptr; }))
    return "(no message box)";
  char text[512] = "", line[512] = "";
  for (HWND child = nullptr; (child = FindWindowExA(box, child, "Static", nullptr));)
    if (GetWindowTextA(child, line, sizeof(line)) > 0) std::strcpy(text, line);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  win_check::WaitFor([&] { return !IsWindow(box); });
  return text;
}

// Runs the dialog modally while `script` works it from a second thread; Cancel follows the
// script's last press, so a failing run cannot hang.
void RunDialog(HWND owner, std::function<void(HWND)> script) {
  HANDLE worker = CreateThread(
      nullptr, 0,
      [](void* parameter) -> DWORD {
        HWND dialog = nullptr;
        if (!win_check::WaitFor([&] { return (dialog = OptionsDialogWindow()) != nullptr; }))
          return 0;
        (*static_cast<std::function<void(HWND)>*>(parameter))(dialog);
        return PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      &script, 0, nullptr);
  RunOptionsDialog(GetModuleHandleA(nullptr), owner);
  WaitForSingleObject(worker, 30000);
  CloseHandle(worker);
}

char settingsPath[MAX_PATH];

// The numbers of `keys` in the settings file, -1 for a missing key.
std::string Stored(std::initializer_list<const char*> keys) {
  std::string numbers;
  for (const char* key : keys)
    numbers += std::to_string(GetPrivateProfileIntA(kSettingsSection, key, -1, settingsPath)) + " ";
  return numbers;
}

// The full-screen mode in the settings: "width height refresh bits ".
std::string Stored(const PluginSettingsRecord& s) {
  std::string numbers;
  for (int n : {s.fs_width, s.fs_height, s.fs_refresh, s.fs_bits})
    numbers += std::to_string(n) + " ";
  return numbers;
}

const DeviceGuid kBrokenGuid{0x0BAD0BAD, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

// DirectDraw as the system has it, except that the broken adapter cannot be opened.
HRESULT WINAPI CreateUnlessBroken(GUID* identity, void** object, REFIID interfaceId,
                                  IUnknown* outer) {
  if (identity && std::memcmp(identity, &kBrokenGuid, sizeof(GUID)) == 0)
    return DDERR_NODIRECTDRAWHW;
  return DirectDrawCreateEx(identity, object, interfaceId, outer);
}

}  // namespace

int main() {
  SettingsFilePath(GetModuleHandleA(nullptr), settingsPath);
  DeleteFileA(settingsPath);
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                               nullptr, nullptr);
  Plugin.VisWindow = owner;
  SetDirectDrawCreator(CreateUnlessBroken);
  if (EnumerateDisplayDevices() != 0 || !DisplayDeviceList) return Check(false, "an adapter"), 1;
  DeviceEnumerationContext context;
  OnDisplayDevice(&kBrokenGuid, "Broken adapter", "", &context, nullptr);
  DisplayDevice* before = DisplayDeviceList;
  const std::string realName = before->description;
  before->width = 1024, before->height = 768, before->refreshRate = 0, before->bitsPerPixel = 16;
  PluginSettings.fs_guid = before->guid;
  PluginSettings.fs_current_monitor = 0;

  // Opening lists the adapters with the stored one selected, and its modes with its own chosen
  // mode selected. A resolution chosen, then a broken adapter, then OK keeps the resolution.
  RunDialog(owner, [&](HWND dialog) {
    Check(Item(dialog, kAdapterList, CB_GETCOUNT) == 2 &&
              ItemText(dialog, kAdapterList, 0) == realName &&
              ItemText(dialog, kAdapterList, 1) == "Broken adapter" &&
              Item(dialog, kAdapterList, CB_GETCURSEL) == 0 &&
              ItemText(dialog, kResolutionList, Item(dialog, kResolutionList, CB_GETCURSEL)) ==
                  "1024x768, 0 Hertz" &&
              Item(dialog, kMonitorRuleCheckBox, BM_GETCHECK) == BST_UNCHECKED,
          "the stored adapter selected, its own mode \"1024x768, 0 Hertz\", the rule box clear");
    Choose(dialog, kResolutionList, 0);
    Check(Stored(PluginSettings) == "1024 768 0 16 ", "a chosen resolution is the mode at once");
    Choose(dialog, kAdapterList, 1);
    Check(AnswerMessageBox("Vevirur 2 Options") == "Error enumerating DirectDraw modes." &&
              Item(dialog, kResolutionList, CB_GETCOUNT) == 0,
          "an adapter that cannot be opened: its message box and an empty Resolution list");
    Item(dialog, kMonitorRuleCheckBox, BM_SETCHECK, BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  Check(DisplayDeviceList != before && SameGuid(PluginSettings.fs_guid, kBrokenGuid) &&
            PluginSettings.fs_current_monitor == 1 && Stored(PluginSettings) == "1024 768 0 16 ",
        "OK keeps the dialog's copy of the list, the adapter, the rule and the mode");
  Check(Stored({"fs_width", "fs_height", "fs_refresh", "fs_bits", "fs_current_monitor", "fs_data1",
                "guid_exists_0", "fs_width_0", "fs_refresh_0", "guid_exists_1", "fs_width_1",
                "fs_refresh_1", "fs_data1_1"}) ==
            "1024 768 0 16 1 195890093 1324 1024 0 1324 640 60 195890093 ",
        "OK writes the fs_* keys and a record per adapter with its own chosen mode");

  // Cancel: the list from before comes back untouched and the file is not written, but a
  // resolution chosen meanwhile stays the mode.
  DeleteFileA(settingsPath);
  before = DisplayDeviceList;
  before->width = 640, before->height = 480, before->refreshRate = 60;  // not offered
  PluginSettings.fs_guid = before->guid;
  PluginSettings.fs_width = 320;
  RunDialog(owner, [&](HWND dialog) {
    Choose(dialog, kResolutionList, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  Check(DisplayDeviceList == before && before->width == 640 && before->refreshRate == 60 &&
            SameGuid(PluginSettings.fs_guid, before->guid) && PluginSettings.fs_width == 1024 &&
            GetFileAttributesA(settingsPath) == INVALID_FILE_ATTRIBUTES,
        "Cancel puts the old list back and writes nothing; the resolution chosen stays");

  // No adapter at all: empty lists, and OK neither reads an adapter nor makes a list.
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  RunDialog(owner, [&](HWND dialog) {
    Check(Item(dialog, kAdapterList, CB_GETCOUNT) + Item(dialog, kResolutionList, CB_GETCOUNT) == 0,
          "without adapters both lists are empty");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  Check(!DisplayDeviceList && Stored(PluginSettings) == "1024 768 0 16 ",
        "OK without adapters keeps the empty list and the mode");
  return win_check::Finish();
}
