// The full-screen output on the system's own DirectDraw, driven as the host drives it: a fake
// player window, a fake RenderFrame that shows a picture of coloured bars, and the switch in
// and out. Checks a failed entry, the window, the picture on the front buffer, the gamma keys,
// key forwarding, and that leaving gives the display back and holds on to nothing.
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include <cstring>
#include <string>
#include <vector>

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "fullscreen/display_devices.h"
#include "fullscreen/win32/directdraw_modes.h"
#include "fullscreen/win32/full_screen.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "raster/drawing.h"
#include "settings/plugin_settings.h"
#include "ui/text_overlays.h"
#include "win_check.h"

using win_check::Check;
using Log = std::vector<std::string>;

namespace {

constexpr int kWidth = 1024, kHeight = 768;  // the only mode Wine's DirectDraw sets

// Eight bars 128 pixels wide: red, green, blue, yellow, cyan, magenta, white, black.
constexpr COLORREF kBars[8] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                               0xFFFF00, 0xFF00FF, 0xFFFFFF, 0x000000};

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

// The last DirectDraw object the output made, with one reference of our own on it.
IDirectDraw7* made = nullptr;
HRESULT WINAPI CreateAndKeep(GUID* identity, void** object, REFIID interfaceId, IUnknown* outer) {
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

// How many bars the front buffer shows in their colour, within 5 bits a channel.
int BarsShown() {
  std::vector<unsigned char> rgb;
  int width = 0, height = 0, shown = 0;
  if (!ReadFullScreenPicture(&width, &height, rgb) || width != kWidth) return -1;
  for (int i = 0; i < 8; ++i) {
    const unsigned char* p = &rgb[(300 * kWidth + i * 128 + 64) * 3];
    shown += std::abs(p[0] - GetRValue(kBars[i])) < 16 &&
             std::abs(p[1] - GetGValue(kBars[i])) < 16 && std::abs(p[2] - GetBValue(kBars[i])) < 16;
  }
  return shown;
}

}  // namespace

int main() {
  winampVisModule module{};
  module.hwndParent = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 9, 9, 0, 0, 0, 0);
  SetWindowLongPtrA(module.hwndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlayerProc));
  Plugin.Module = &module;
  Plugin.VisWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 100, 320, 240, 0, 0, 0, 0);
  Hooks.RenderFrame = FakeRenderFrame;
  SetDirectDrawCreator(CreateAndKeep);
  if (EnumerateDisplayDevices() != 0 || !DisplayDeviceList) return Check(false, "an adapter"), 1;
  DisplayDevice* device = DisplayDeviceList;
  CreateDrawSurface(kWidth, kHeight, 16);
  for (int i = 0; i < 8; ++i) {
    RECT bar{i * 128, 0, (i + 1) * 128, kHeight};
    FillRect(static_cast<HDC>(GetDrawSurfaceDC()), &bar, CreateSolidBrush(kBars[i]));
  }

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
  Check(BarsShown() == 8, "the flipped frame shows the picture on the front buffer");

  // PLUS and MINUS, by both of their characters each.
  for (auto [character, level] : {std::pair{'+', 208}, {'=', 216}, {'-', 208}, {'_', 200}}) {
    SendMessageA(window, WM_CHAR, character, 0);
    const std::string text = "Gamma " + std::to_string(level);
    Check(PluginSettings.DDGammaRamp == level && GetMessageText() == text,
          text + " after '" + character + "'");
  }

  // Keys: Enter changes the drawing; the player's own keys reach its window, F2, F7, D, O and
  // Enter do not.
  for (int key : {VK_F5, VK_RETURN, VK_F11, VK_F2, int{'X'}})
    SendMessageA(window, WM_KEYDOWN, key, 1);
  for (int key : {int{'D'}, int{'O'}, VK_F7, VK_F5}) SendMessageA(window, WM_KEYUP, key, 1);
  win_check::WaitFor([] { return player.size() >= 4; }, 2000);
  Check(Requests.ChangeDrawingRequest == 1 &&
            player == Log{"key 256 116", "key 256 122", "key 256 88", "key 257 116"},
        "Enter changes the drawing; F5, F11 and X reach the player's window, the others do not");

  // Leaving: display mode back, window gone, cursor shown, the player told.
  player.clear();
  SwitchFullScreen(0);
  CURSORINFO cursor{};
  cursor.cbSize = sizeof(cursor);
  Check(!Plugin.FullScreenActive && !FullScreenWindow() && !IsWindow(window) &&
            !FullScreenDisplayOpen() && player == Log{"ipc 631 0"} && GetCursorInfo(&cursor) &&
            (cursor.flags & CURSOR_SHOWING) && OthersHolding() == 0,
        "leave: window gone, cursor shown, IPC 631 with 0, the display given back");
  return win_check::Finish();
}
