#include "ui/win32/vis_window.h"

#include <shellapi.h>

#include <cstdint>

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "pipeline/requests.h"
#include "settings/plugin_settings.h"
#include "ui/about_texts.h"
#include "ui/text_overlays.h"
#include "ui/window_commands.h"

namespace {

int PointX(LPARAM lParam) {
  return static_cast<int16_t>(LOWORD(lParam));
}
int PointY(LPARAM lParam) {
  return static_cast<int16_t>(HIWORD(lParam));
}

int HitsAboutText(LPARAM lParam) {
  OverlayExtent notice{Plugin.AboutLinkExtent.cx, Plugin.AboutLinkExtent.cy};
  return AboutHitTest(PointX(lParam), PointY(lParam), Plugin.IsPlaying.load(), notice);
}

winampVisModule* WindowModule(HWND window) {
  auto* module = reinterpret_cast<winampVisModule*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return module ? module : Plugin.Module;
}

// Runs a command of the key tables; the message's result.
LRESULT RunCommand(WindowCommand command, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (command) {
    case WindowCommand::kDefault:
      return DefWindowProcA(window, message, wParam, lParam);
    case WindowCommand::kConsumed:
      break;
    case WindowCommand::kPassToPlayer:
      PostMessageA(HostMainWindow(), WM_KEYDOWN, wParam, lParam);
      break;
    case WindowCommand::kChangeDrawing:
      RequestChangeDrawing();
      break;
    case WindowCommand::kNextEffect:
      NextEffect();
      break;
    case WindowCommand::kPreviousEffect:
      PreviousEffect();
      break;
    case WindowCommand::kToggleEffectLock:
      ToggleEffectLock();
      break;
    case WindowCommand::kToggleHelp:
      ToggleHelp();
      break;
    case WindowCommand::kToggleTitle:
      ToggleTitle();
      break;
    case WindowCommand::kGoFullScreen:
      GoFullScreen();
      break;
    case WindowCommand::kLeaveFullScreen:
      LeaveFullScreen();
      break;
  }
  return 0;
}

void RunPlayerCommand(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case kCommandNextEffect:
      NextEffect();
      break;
    case kCommandPreviousEffect:
      PreviousEffect();
      break;
    case kCommandRandomEffect:
      AskHost(kIpcVisCommand, 1);
      if (HIWORD(wParam) != 0xFFFF) RequestChangeDrawing();
      break;
    case kCommandFullScreen:
      GoFullScreen();
      break;
    case kCommandPopupMenu:
      ShowPopupMenu();
      break;
    default:  // kCommandIgnored and the rest
      break;
  }
}

// Where the player's frame window is on the screen, kept for the settings file.
void RememberFramePlacement(HWND window) {
  HWND frame = GetParent(window);
  RECT r;
  if (!GetWindowRect(frame ? frame : window, &r)) return;
  PluginSettings.Screen_x = r.left;
  PluginSettings.Screen_y = r.top;
  PluginSettings.Screen_width = r.right - r.left;
  PluginSettings.Screen_height = r.bottom - r.top;
}

void Paint(HWND window) {
  // The paint message always paints in the window, also while frames go to full screen.
  int fullScreen = Plugin.FullScreenActive.exchange(0);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (Hooks.RenderFrame) Hooks.RenderFrame(WindowModule(window), dc, 1);
  EndPaint(window, &paint);
  Plugin.FullScreenActive = fullScreen;
}

}  // namespace

LRESULT CALLBACK VisWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
    case WM_ERASEBKGND:
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      if (Plugin.FullScreenActive) LeaveFullScreen();
      return 0;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_WINDOWPOSCHANGING:
      RememberFramePlacement(window);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCOMMAND:
      return RunCommand(CommandForKeyMessage(message, wParam, lParam), window, message, wParam,
                        lParam);
    case WM_COMMAND:
      RunPlayerCommand(wParam);
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
      SetCursor(LoadCursorA(nullptr, HitsAboutText(lParam) ? IDC_HAND : IDC_ARROW));
      return 0;
    case WM_LBUTTONDOWN:
      LinkButtonDown(HitsAboutText(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (LinkButtonUp(HitsAboutText(lParam))) OpenWebSite();
      return 0;
    case WM_LBUTTONDBLCLK:
      LinkDoubleClick();
      GoFullScreen();
      return 0;
    case WM_RBUTTONDOWN:
      ShowPopupMenu();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void NextEffect() {
  if (Plugin.IsPlaying) RequestChangeDrawing();
}

void PreviousEffect() {
  if (Plugin.IsPlaying) RequestChangeDrawing();
}

void GoFullScreen() {
  if (Plugin.FullScreenActive) return;
  if (AskHost(kIpcIsPlayingVideo) > 1) {
    MessageBoxA(HostMainWindow(), "Can't go fullscreen while video is playing", "VOzo", MB_OK);
    return;
  }
  AskHost(kIpcFullScreenNotice, 1);
  if (Hooks.SwitchFullScreen) Hooks.SwitchFullScreen(1);
}

void LeaveFullScreen() {
  if (!Plugin.IsPlaying) {
    if (Hooks.SwitchFullScreen) Hooks.SwitchFullScreen(0);
    return;
  }
  Plugin.FullScreenActive = 0;
  Plugin.LeaveFullScreenPending = 1;
}

void OpenWebSite() {
  ShellExecuteA(Plugin.VisWindow, "open", kMakerWebSite, "", "", SW_SHOW);
}

void ResetVisWindowState() {
  ResetLinkClicks();
}
