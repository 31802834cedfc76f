// The full-screen output and the options dialog on the system's own DirectDraw and dialog
// manager, driven as the host and a person drive them. The dialog: the lists it shows and what
// OK and Cancel leave behind in the adapter list, the settings and the settings file (a second
// thread works it while the first runs it). The output: a failed entry, the window, the picture
// on the front buffer, the gamma keys, key forwarding, and that leaving gives the display back.
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "fullscreen/display_devices.h"
#include "fullscreen/win32/directdraw_modes.h"
#include "fullscreen/win32/full_screen.h"
#include "fullscreen/win32/options_dialog.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "raster/drawing.h"
#include "settings/plugin_settings.h"
#include "settings/settings_file.h"
#include "ui/text_overlays.h"

using Log = std::vector<std::string>;

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  failures += !ok;
}

// Polls `done` every 20 ms for up to `limitMs` (the test machine is loaded), running the
// calling thread's messages.
template <typename Done>
bool WaitFor(Done done, DWORD limitMs = 20000) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(20)) {
    if (GetTickCount() - start > limitMs) return false;
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
  }
  return true;
}

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
  WaitFor([&] { return (box = FindWindowA("#32770", caption)) != nullptr; });
  char text[512] = "", line[512] = "";
  for (HWND child = nullptr; (child = FindWindowExA(box, child, "Static", nullptr));)
    if (GetWindowTextA(child, line, sizeof(line)) > 0) std::strcpy(text, line);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(box); });
  return text;
}

// Runs the dialog modally while `script` works it from a second thread; Cancel follows the
// script's last press, so a failing run cannot hang.
DWORD WINAPI WorkDialog(void* script) {
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = OptionsDialogWindow()) != nullptr; })) return 0;
  (*static_cast<std::function<void(HWND)>*>(script))(dialog);
  return PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

void RunDialog(std::function<void(HWND)> script) {
  HANDLE worker = CreateThread(nullptr, 0, WorkDialog, &script, 0, nullptr);
  RunOptionsDialog(GetModuleHandleA(nullptr), Plugin.VisWindow);
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

constexpr int kWidth = 1024, kHeight = 768;  // the only mode Wine's DirectDraw sets

// What reached the player's main window: "ipc NUMBER WPARAM" and "key MESSAGE KEY".
Log player;
LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER)
    player.push_back("ipc " + std::to_string(lParam) + " " + std::to_string(wParam));
  if (message == WM_KEYDOWN || message == WM_KEYUP)
    player.push_back("key " + std::to_string(message) + " " + std::to_string(wParam));
  return message == WM_USER ? 0 : DefWindowProcA(window, message, wParam, lParam);
}

// The host's RenderFrame as far as the full-screen output sees it: with the display open,
// show the finished picture. Logs "dc fromPaint FullScreenActive" per call.
Log renders;
int FakeRenderFrame(winampVisModule*, HDC dc, int fromPaint) {
  renders.push_back(std::to_string(dc != nullptr) + std::to_string(fromPaint) +
                    std::to_string(Plugin.FullScreenActive.load()));
  if (Plugin.FullScreenActive && !fromPaint)
    ShowFullScreenFrame(RECT{0, 0, PluginSettings.fs_width, PluginSettings.fs_height});
  return 0;
}

// DirectDraw as the system has it, except that the broken adapter cannot be opened; keeps one
// reference of our own on the last object made.
const DeviceGuid kBrokenGuid{0x0BAD0BAD, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
IDirectDraw7* made = nullptr;
HRESULT WINAPI CreateAndKeep(GUID* identity, void** object, REFIID interfaceId, IUnknown* outer) {
  if (identity && std::memcmp(identity, &kBrokenGuid, sizeof(GUID)) == 0)
    return DDERR_NODIRECTDRAWHW;
  HRESULT result = DirectDrawCreateEx(identity, object, interfaceId, outer);
  if (result == DD_OK && (made = static_cast<IDirectDraw7*>(*object))) made->AddRef();
  return result;
}

// Drops our reference: 0 when nobody else holds the object (its surfaces hold it too).
ULONG OthersHolding() {
  const ULONG left = made ? made->Release() : 1000;
  made = nullptr;
  return left;
}

// The front buffer's pixels at the corners and the centre as "r,g,b" (5 bits a channel).
std::string FrontBufferPixels() {
  std::vector<unsigned char> rgb;
  int width = 0, height = 0;
  if (!ReadFullScreenPicture(&width, &height, rgb) || width != kWidth) return "none";
  std::string text;
  for (int at : {0, kWidth - 1, kWidth * kHeight / 2 + kWidth / 2, kWidth * kHeight - 1})
    text += std::to_string(rgb[at * 3]) + "," + std::to_string(rgb[at * 3 + 1]) + "," +
            std::to_string(rgb[at * 3 + 2]) + " ";
  return text;
}

void CheckOptionsDialog() {
  SettingsFilePath(GetModuleHandleA(nullptr), settingsPath);
  DeleteFileA(settingsPath);
  OnDisplayDevice(&kBrokenGuid, "Broken adapter", "", nullptr, nullptr);
  DisplayDevice* before = DisplayDeviceList;
  before->width = 1024, before->height = 768, before->refreshRate = 0, before->bitsPerPixel = 16;
  PluginSettings.fs_guid = before->guid;
  PluginSettings.fs_current_monitor = 0;

  // Opening lists the adapters with the stored one selected, and its modes with its own chosen
  // mode selected. A resolution chosen, then a broken adapter, then OK keeps the resolution.
  RunDialog([&](HWND dialog) {
    Check(Item(dialog, kAdapterList, CB_GETCOUNT) == 2 &&
              ItemText(dialog, kAdapterList, 0) == before->description &&
              ItemText(dialog, kAdapterList, 1) == "Broken adapter" &&
              Item(dialog, kAdapterList, CB_GETCURSEL) == 0 &&
              ItemText(dialog, kResolutionList, Item(dialog, kResolutionList, CB_GETCURSEL)) ==
                  "1024x768, 0 Hertz" &&
              Item(dialog, kMonitorRuleCheckBox, BM_GETCHECK) == BST_UNCHECKED,
          "the stored adapter selected, its own mode \"1024x768, 0 Hertz\", the rule box clear");
    Choose(dialog, kResolutionList, 0);
    Choose(dialog, kAdapterList, 1);
    Check(AnswerMessageBox("Vevirur 2 Options") == "Error enumerating DirectDraw modes." &&
              Item(dialog, kResolutionList, CB_GETCOUNT) == 0,
          "an adapter that cannot be opened: its message box and an empty Resolution list");
    Item(dialog, kMonitorRuleCheckBox, BM_SETCHECK, BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  Check(DisplayDeviceList != before && SameGuid(PluginSettings.fs_guid, kBrokenGuid) &&
            PluginSettings.fs_current_monitor == 1,
        "OK keeps the dialog's copy of the list, the adapter and the rule");
  Check(Stored({"fs_width", "fs_height", "fs_refresh", "fs_bits", "fs_current_monitor", "fs_data1",
                "guid_exists_0", "fs_width_0", "fs_refresh_0", "guid_exists_1", "fs_width_1",
                "fs_refresh_1", "fs_data1_1"}) ==
            "1024 768 0 16 1 195890093 1324 1024 0 1324 640 60 195890093 ",
        "OK writes the fs_* keys and a record per adapter with its own chosen mode");

  // Cancel: the list from before comes back untouched and the file is not written.
  DeleteFileA(settingsPath);
  before = DisplayDeviceList;
  before->width = 640, before->height = 480, before->refreshRate = 60;  // not offered
  PluginSettings.fs_guid = before->guid;
  RunDialog([&](HWND dialog) { Choose(dialog, kResolutionList, 0); });
  Check(DisplayDeviceList == before && before->width == 640 && before->refreshRate == 60 &&
            SameGuid(PluginSettings.fs_guid, before->guid) &&
            GetFileAttributesA(settingsPath) == INVALID_FILE_ATTRIBUTES,
        "Cancel puts the old list back and writes nothing");

  // No adapter at all: OK neither reads an adapter nor makes a list.
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  RunDialog([&](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  Check(!DisplayDeviceList && PluginSettings.fs_width == 1024 && PluginSettings.fs_height == 768,
        "OK without adapters keeps the empty list and the mode");
}

void CheckFullScreen() {
  DisplayDevice* device = DisplayDeviceList;
  CreateDrawSurface(kWidth, kHeight, 16);
  RECT whole{0, 0, kWidth, kHeight};
  FillRect(static_cast<HDC>(GetDrawSurfaceDC()), &whole, CreateSolidBrush(RGB(255, 132, 0)));

  // The adapter showing VisWindow gives the mode chosen for it; one it does not offer fails
  // the entry ("Go FS DxInit fail"): windowed, and nothing of the display held.
  PluginSettings.fs_current_monitor = 1;
  device->width = 800, device->height = 600, device->refreshRate = 60, device->bitsPerPixel = 16;
  SwitchFullScreen(1);
  Check(PluginSettings.fs_width == 800 && PluginSettings.fs_height == 600 &&
            Requests.ReinitRequest == 1 && !Plugin.FullScreenActive && !FullScreenWindow() &&
            !FullScreenDisplayOpen() && renders.empty() && player.empty() && OthersHolding() == 0,
        "a mode the adapter lacks fails the entry: windowed, nothing rendered, sent or held");

  // Entry in the screen's own mode, with the draw thread running.
  device->width = kWidth, device->height = kHeight, device->refreshRate = 0;
  StartDrawThread();
  ResumeDrawThread();
  PluginSettings.DDGammaRamp = 200;
  SwitchFullScreen(1);
  HWND window = FullScreenWindow();
  RECT rect{};
  GetWindowRect(window, &rect);
  Check(Plugin.FullScreenActive == 1 && FullScreenDisplayOpen() && !DrawThread.DrawThreadHandle &&
            (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) && rect.left == 0 &&
            rect.top == 0 && rect.right == kWidth && rect.bottom == kHeight,
        "entry stops the draw thread and opens a top-most window over it all");
  Check(renders == Log{"010", "001"} && player.empty(),
        "RenderFrame(null, 1) before FullScreenActive, RenderFrame(null, 0) after; nothing sent");
  // 132 green in 6 bits shows as 133.
  Check(FrontBufferPixels() == "255,133,0 255,133,0 255,133,0 255,133,0 ",
        "the flipped frame shows the picture on the front buffer: " + FrontBufferPixels());

  // PLUS and MINUS, by both of their characters each.
  for (auto [character, level] : {std::pair{'+', 208}, {'=', 216}, {'-', 208}, {'_', 200}}) {
    SendMessageA(window, WM_CHAR, character, 0);
    const std::string text = "Gamma " + std::to_string(level);
    Check(PluginSettings.DDGammaRamp == level && GetMessageText() == text,
          text + " after '" + character + "'");
  }

  // Keys: Enter changes the drawing; the player's own keys (F5) reach its window, the
  // full-screen keys (F2, D) do not.
  for (int key : {VK_F5, VK_RETURN, VK_F2}) SendMessageA(window, WM_KEYDOWN, key, 1);
  for (int key : {int{'D'}, VK_F5}) SendMessageA(window, WM_KEYUP, key, 1);
  WaitFor([] { return player.size() >= 2; }, 2000);
  Check(Requests.ChangeDrawingRequest == 1 && player == Log{"key 256 116", "key 257 116"},
        "Enter changes the drawing; F5 reaches the player's window, F2 and D do not");

  // Leaving: display mode back, window gone, cursor shown, the player told.
  player.clear();
  SwitchFullScreen(0);
  CURSORINFO cursor{};
  cursor.cbSize = sizeof(cursor);
  Check(!Plugin.FullScreenActive && !FullScreenWindow() && !IsWindow(window) &&
            !FullScreenDisplayOpen() && player == Log{"ipc 631 0"} && GetCursorInfo(&cursor) &&
            (cursor.flags & CURSOR_SHOWING) && OthersHolding() == 0,
        "leave: window gone, cursor shown, IPC 631 with 0, the display given back");
}

}  // namespace

int main() {
  Plugin.VisWindow = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 9, 9, 0, 0, 0, 0);
  winampVisModule module{};
  module.hwndParent = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 9, 9, 0, 0, 0, 0);
  SetWindowLongPtrA(module.hwndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlayerProc));
  Plugin.Module = &module;
  Hooks.RenderFrame = FakeRenderFrame;
  SetDirectDrawCreator(CreateAndKeep);
  if (EnumerateDisplayDevices() != 0 || !DisplayDeviceList) return Check(false, "an adapter"), 1;
  CheckOptionsDialog();
  Check(EnumerateDisplayDevices() == 0 && DisplayDeviceList, "the adapters are listed again");
  CheckFullScreen();
  std::printf("%s\n", failures ? "FAILED" : "PASSED");
  return failures ? 1 : 0;
}
