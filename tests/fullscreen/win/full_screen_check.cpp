// The full-screen output on the system's own DirectDraw, driven as the host drives it: a fake
// player window, a fake RenderFrame that shows a picture of coloured bars, and the switch in
// and out. Checks the window, the flip chain (the picture read back from the front buffer),
// the gamma keys, key forwarding, and that a failed entry and a leave hold on to nothing.
//   full_screen_check.exe SCREENSHOT.bmp
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include <cstring>

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
using win_check::player;

namespace {

constexpr int kWidth = 1024, kHeight = 768;  // the only mode Wine's DirectDraw sets

// Eight bars of full red, green, blue and their mixes, 128 pixels wide each.
constexpr COLORREF kBars[8] = {RGB(255, 0, 0),     RGB(0, 255, 0),   RGB(0, 0, 255),
                               RGB(255, 255, 0),   RGB(0, 255, 255), RGB(255, 0, 255),
                               RGB(255, 255, 255), RGB(0, 0, 0)};

void PaintBars() {
  HDC dc = static_cast<HDC>(GetDrawSurfaceDC());
  for (int i = 0; i < 8; ++i) {
    RECT bar{i * 128, 0, (i + 1) * 128, kHeight};
    HBRUSH brush = CreateSolidBrush(kBars[i]);
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
  }
  GdiFlush();
}

struct RenderCall {
  HDC dc;
  int fromPaint;
  int fullScreenActive;
};
std::vector<RenderCall> renderCalls;

// The host's RenderFrame as far as the full-screen output sees it: with the display open,
// show the finished picture.
int FakeRenderFrame(winampVisModule*, HDC dc, int fromPaint) {
  renderCalls.push_back({dc, fromPaint, Plugin.FullScreenActive.load()});
  if (Plugin.FullScreenActive && !fromPaint) {
    RECT picture{0, 0, PluginSettings.fs_width, PluginSettings.fs_height};
    ShowFullScreenFrame(picture);
  }
  return 0;
}

// Every DirectDraw object the output makes, with one reference of our own on it.
IDirectDraw7* made = nullptr;
HRESULT WINAPI CreateAndKeep(GUID* identity, void** object, REFIID interfaceId, IUnknown* outer) {
  HRESULT result = DirectDrawCreateEx(identity, object, interfaceId, outer);
  if (result == DD_OK && *object) {
    made = static_cast<IDirectDraw7*>(*object);
    made->AddRef();
  }
  return result;
}

// Drops our reference to the last object made: 0 when nobody else holds it any more (its
// surfaces and gamma control hold it too).
ULONG OthersHolding() {
  if (!made) return 1000;
  ULONG left = made->Release();
  made = nullptr;
  return left;
}

bool ScreenIs(int width, int height) {
  return GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
}

// How many of the bars show on the front buffer in their colour (5 bits a channel).
int BarsShown(const std::vector<unsigned char>& rgb, int width) {
  int shown = 0;
  for (int i = 0; i < 8; ++i) {
    const unsigned char* p = &rgb[(static_cast<size_t>(300) * width + i * 128 + 64) * 3];
    shown += std::abs(p[0] - GetRValue(kBars[i])) < 16 &&
             std::abs(p[1] - GetGValue(kBars[i])) < 16 && std::abs(p[2] - GetBValue(kBars[i])) < 16;
  }
  return shown;
}

bool Requested(int ipc, WPARAM wParam) {
  for (const auto& request : player.requests) {
    if (request.first == ipc && request.second == wParam) return true;
  }
  return false;
}

bool Forwarded(UINT message, WPARAM key) {
  for (const auto& sent : player.keys) {
    if (sent.first == message && sent.second == key) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: full_screen_check SCREENSHOT.bmp\n");
    return 2;
  }
  winampVisModule module{};
  module.hwndParent = win_check::CreateFakePlayer();
  Plugin.Module = &module;
  Plugin.Instance = GetModuleHandleA(nullptr);
  Plugin.VisWindow = CreateWindowExA(0, "STATIC", "VisWindow", WS_POPUP | WS_VISIBLE, 100, 100, 320,
                                     240, nullptr, nullptr, Plugin.Instance, nullptr);
  Hooks.RenderFrame = FakeRenderFrame;
  SetDirectDrawCreator(CreateAndKeep);
  Check(EnumerateDisplayDevices() == 0 && DisplayDeviceList, "DirectDraw reports an adapter");
  if (!DisplayDeviceList || !ScreenIs(kWidth, kHeight)) {
    std::printf("FAILED: no adapter, or the screen is not %dx%d\n", kWidth, kHeight);
    return 1;
  }
  DisplayDevice* device = DisplayDeviceList;
  CreateDrawSurface(kWidth, kHeight, 16);
  PaintBars();

  // The adapter showing VisWindow with a mode it does not offer: "Go FS DxInit fail", still
  // windowed, and nothing of DirectDraw held.
  PluginSettings.fs_current_monitor = 1;
  device->width = 800, device->height = 600, device->refreshRate = 60, device->bitsPerPixel = 16;
  Requests.ReinitRequest = 0;
  SwitchFullScreen(1);
  Check(PluginSettings.fs_width == 800 && PluginSettings.fs_height == 600,
        "the monitor's adapter gives its chosen mode");
  Check(Requests.ReinitRequest == 1 && !Plugin.FullScreenActive && !FullScreenWindow() &&
            !FullScreenDisplayOpen() && renderCalls.empty() && player.requests.empty(),
        "a mode the adapter lacks fails the entry: windowed, nothing rendered or sent");
  Check(ScreenIs(kWidth, kHeight) && OthersHolding() == 0,
        "... and leaves the display mode as it was, with every DirectDraw object released");

  // The window class cannot be registered while a window of it is open: "Go FS WinInit fail",
  // and neither a window nor the display is opened.
  WNDCLASSA taken{};
  taken.lpfnWndProc = DefWindowProcA;
  taken.lpszClassName = kFullScreenClassName;
  RegisterClassA(&taken);
  HWND blocker = CreateWindowExA(0, kFullScreenClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
  Requests.ReinitRequest = 0;
  made = nullptr;
  SwitchFullScreen(1);
  Check(blocker && Requests.ReinitRequest == 1 && !Plugin.FullScreenActive && !FullScreenWindow() &&
            !FullScreenDisplayOpen() && !made && renderCalls.empty() && player.requests.empty(),
        "no window class: the entry fails before DirectDraw, nothing rendered or sent");
  DestroyWindow(blocker);
  UnregisterClassA(kFullScreenClassName, nullptr);

  // Entry in the screen's own mode, with the draw thread running.
  device->width = kWidth, device->height = kHeight, device->refreshRate = 0;
  Check(StartDrawThread() == 1, "the draw thread starts");
  ResumeDrawThread();
  PluginSettings.DDGammaRamp = 200;
  SwitchFullScreen(1);
  HWND window = FullScreenWindow();
  Check(DrawThread.DrawThreadHandle == nullptr, "the switch stops the draw thread");
  Check(Plugin.FullScreenActive == 1 && window && FullScreenDisplayOpen(),
        "entry: FullScreenActive, window and display open");
  char className[64] = "", title[64] = "";
  GetClassNameA(window, className, sizeof(className));
  GetWindowTextA(window, title, sizeof(title));
  RECT rect{};
  GetWindowRect(window, &rect);
  Check(!std::strcmp(className, kFullScreenClassName) && !std::strcmp(title, kFullScreenTitle) &&
            (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
            (GetWindowLongA(window, GWL_STYLE) & WS_POPUP) && rect.left == 0 && rect.top == 0 &&
            rect.right == kWidth && rect.bottom == kHeight,
        "a top-most pop-up \"Vevirur Full screen\" covering the display");
  Check(renderCalls.size() == 2 && !renderCalls[0].dc && renderCalls[0].fromPaint == 1 &&
            !renderCalls[0].fullScreenActive && !renderCalls[1].dc &&
            renderCalls[1].fromPaint == 0 && renderCalls[1].fullScreenActive,
        "RenderFrame(null, 1) before FullScreenActive, RenderFrame(null, 0) after");
  PictureRect target = GetTargetRect();
  Check(target.left == 0 && target.top == 0 && target.right == kWidth && target.bottom == kHeight,
        "TargetRect is the full-screen size");
  Check(player.requests.empty(), "the switch itself sends the player nothing on entry");
  IDirectDraw7* open = made;
  if (open) open->AddRef();
  Check(open && open->Release() > 1, "the display's objects are held while it is open");

  std::vector<unsigned char> rgb;
  int width = 0, height = 0;
  Check(ReadFullScreenPicture(&width, &height, rgb) && width == kWidth && height == kHeight &&
            BarsShown(rgb, width) == 8,
        "the flipped frame shows the picture on the front buffer");
  Check(win_check::SaveBmp(argv[1], width, height, rgb), "screenshot of the full-screen frame");

  // PLUS and MINUS, by both of their characters each.
  struct GammaKey {
    WPARAM character;
    int level;
  };
  const GammaKey gammaKeys[] = {{'+', 208}, {'=', 216}, {'-', 208}, {'_', 200}};
  for (const GammaKey& key : gammaKeys) {
    SendMessageA(window, WM_CHAR, key.character, 0);
    char want[32];
    std::snprintf(want, sizeof(want), "Gamma %d", key.level);
    Check(PluginSettings.DDGammaRamp == key.level &&
              (!FullScreenHasGamma() || !std::strcmp(GetMessageText(), want)),
          std::string("'") + char(key.character) + "' gives " + want);
  }
  Check(FullScreenHasGamma(), "the display has a gamma control");

  // Keys: the player's own shortcuts reach its window, the full-screen keys do not.
  Requests.ChangeDrawingRequest = 0;
  SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0x1C0001);
  Check(Requests.ChangeDrawingRequest == 1, "Enter changes the drawing");
  const WPARAM forwarded[] = {VK_F5, VK_F11, 'X', VK_UP};
  const WPARAM consumed[] = {VK_RETURN, 'D', 'O', VK_F2, VK_F7};
  for (WPARAM key : forwarded) SendMessageA(window, WM_KEYDOWN, key, 1);
  for (WPARAM key : consumed) SendMessageA(window, WM_KEYUP, key, 1);
  SendMessageA(window, WM_KEYUP, VK_F5, 1);
  win_check::Pump(200);
  bool allForwarded = Forwarded(WM_KEYUP, VK_F5);
  for (WPARAM key : forwarded) allForwarded = allForwarded && Forwarded(WM_KEYDOWN, key);
  bool noneForwarded = true;
  for (WPARAM key : consumed) noneForwarded = noneForwarded && !Forwarded(WM_KEYUP, key);
  Check(allForwarded, "F5, F11, X and Up reach the player's window");
  Check(noneForwarded && player.keys.size() == std::size(forwarded) + 1,
        "Enter, D, O, F2 and F7 do not");
  const LRESULT sizeResult = SendMessageA(window, WM_SYSCOMMAND, SC_SIZE, 0);
  GetWindowRect(window, &rect);
  Check(sizeResult == 0 && rect.right == kWidth, "the window neither sizes nor moves");

  // Leaving: display mode back, window gone, cursor shown, the player told.
  SwitchFullScreen(0);
  Check(!Plugin.FullScreenActive && !FullScreenWindow() && !IsWindow(window) &&
            !FullScreenDisplayOpen(),
        "leave: window and display closed");
  Check(Requested(631, 0), "leave: IPC 631 with 0");
  CURSORINFO cursor{};
  cursor.cbSize = sizeof(cursor);
  Check(GetCursorInfo(&cursor) && (cursor.flags & CURSOR_SHOWING), "leave: the cursor shows");
  Check(ScreenIs(kWidth, kHeight) && OthersHolding() == 0,
        "leave: the display mode is restored and every DirectDraw object released");

  DestroyDrawSurface();
  DestroyWindow(Plugin.VisWindow);
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  std::printf("%s\n", win_check::failures ? "FAILED" : "PASSED");
  return win_check::failures ? 1 : 0;
}
