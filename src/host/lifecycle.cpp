// Init, Quit and Config, the watched window's notice handler and the title refresh. Each entry
// catches everything, so no exception reaches the player.
#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "fullscreen/display_devices.h"
#include "fullscreen/win32/full_screen.h"
#include "fullscreen/win32/options_dialog.h"
#include "host/host_state.h"
#include "host/plugin_entry.h"
#include "host/render_frame.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/requests.h"
#include "settings/plugin_settings.h"
#include "settings/settings_file.h"
#include "ui/text_overlays.h"
#include "ui/win32/gdi_overlays.h"
#include "ui/win32/vis_window.h"

HostState Host;

namespace {

// Child, visible, clipping siblings and children, maximized.
constexpr DWORD kVisWindowStyle = 0x57000000;
constexpr const char* kTooOldText = "This plugin requires Winamp2 v2.9+ or Winamp5 v5.0+";

int FailInit(winampVisModule* module, const char* text) {
  MessageBoxA(HostMainWindow(), text, module->description, MB_OK);
  return 1;
}

void InstallHooks() {
  Hooks.RenderFrame = RenderFrame;
  Hooks.Config = Config;
  Hooks.SwitchFullScreen = SwitchFullScreen;
  Hooks.GetBackBufferDC = GetBackBufferDC;
  Hooks.ReleaseBackBufferDCAndFlip = ReleaseBackBufferDCAndFlip;
}

int InitSteps(winampVisModule* module) {
  Plugin.Module = module;
  if (static_cast<int>(AskHost(kIpcGetVersion)) < kRequiredPlayerVersion) {
    return FailInit(module, kTooOldText);
  }
  PluginSettings.fs_guid = DeviceGuid{};
  Host.LogoBitmap = kLogoBitmapId;
  Plugin.Instance = module->hDllInstance;
  InstallHooks();

  EnumerateDisplayDevices();
  LoadSettings(module->hDllInstance);

  HostFrameRecord& record = Host.FrameRecord;
  record.rect = RECT{PluginSettings.Screen_x, PluginSettings.Screen_y,
                     PluginSettings.Screen_x + PluginSettings.Screen_width,
                     PluginSettings.Screen_y + PluginSettings.Screen_height};
  const LRESULT embedAnswer = AskHost(kIpcGetEmbedFunction);
  if (embedAnswer == 0 || embedAnswer == 1) return FailInit(module, kTooOldText);
  const auto embed = reinterpret_cast<EmbedWindowFunction>(embedAnswer);
  HWND frame = embed(&record);
  SetWindowTextA(frame, module->description);

  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = VisWindowProc;
  windowClass.hInstance = module->hDllInstance;
  windowClass.lpszClassName = kVisWindowClassName;
  if (!RegisterClassA(&windowClass)) return FailInit(module, "Error registering window class");

  HWND window =
      CreateWindowExA(0, kVisWindowClassName, nullptr, kVisWindowStyle, PluginSettings.Screen_x,
                      PluginSettings.Screen_y, PluginSettings.Screen_width,
                      PluginSettings.Screen_height, frame, nullptr, module->hDllInstance, nullptr);
  if (window == nullptr) return FailInit(module, "Error creating window");
  Plugin.VisWindow = window;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(module));
  AskHost(kIpcSetVisWindow, reinterpret_cast<WPARAM>(window));
  ShowWindow(frame, SW_SHOWNORMAL);

  if (HDC dc = GetDC(window)) {
    Plugin.AboutLinkExtent = MeasureAboutLink(dc);
    ReleaseDC(window, dc);
  }

  HWND watched = reinterpret_cast<HWND>(AskHost(kIpcGetWindow, kWatchedWindowSelector));
  if (watched != nullptr) {
    Host.PreviousWatchedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(watched, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostNoticeHandler)));
  }

  Host.PlaylistPosition = static_cast<int>(AskHost(kIpcGetPlaylistPosition));
  RefreshTitle();
  return 0;
}

}  // namespace

void ResetHostState() {
  Host.FrameRecord = HostFrameRecord{};
  Host.PreviousWatchedProcedure = nullptr;
  Host.PlaylistPosition = -1;
  Host.LogoBitmap = 0;
}

void SetPlaying(int playing) {
  Plugin.IsPlaying = playing;
}

void RefreshTitle() {
  const int position = Host.PlaylistPosition;
  if (position < 0) {
    SetTitleText("");
  } else {
    const auto* title =
        reinterpret_cast<const char*>(AskHost(kIpcGetPlaylistTitle, static_cast<WPARAM>(position)));
    if (title == nullptr) return;
    SetTitleText(title);  // cut to the title buffer
    ShowTitle(1);
  }
  RequestNewEffect();
}

LRESULT CALLBACK HostNoticeHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_USER && wParam == kPlayStateNoticeWParam) {
      if (Plugin.FullScreenActive) SetCursor(nullptr);
      const int answer = static_cast<int>(AskHost(kIpcIsPlaying));
      if (Plugin.IsPlaying && answer != 1) {
        // Playback stopped or paused: show the about screen.
        if (Plugin.FullScreenActive) {
          RenderFrame(Plugin.Module, nullptr, 0);
        } else if (Plugin.VisWindow) {
          InvalidateRect(Plugin.VisWindow, nullptr, TRUE);
        }
      }
      SetPlaying(answer == 1);
    }
    if ((message == kTrackNoticeMessage || message == WM_USER) && (lParam & kNewTrackBit)) {
      Host.PlaylistPosition = static_cast<int>(lParam & kTrackPositionMask);
      RefreshTitle();
    }
  } catch (...) {
  }
  return CallWindowProcA(Host.PreviousWatchedProcedure, window, message, wParam, lParam);
}

int Init(winampVisModule* module) {
  try {
    return InitSteps(module);
  } catch (...) {
    return 1;
  }
}

void Quit(winampVisModule* module) {
  try {
    // A player that ends the plug-in while it holds a display in full screen (or has a leave
    // pending) gets the display mode and the cursor back first.
    if (FullScreenWindow() != nullptr) SwitchFullScreen(0);
    HWND watched = reinterpret_cast<HWND>(AskHost(kIpcGetWindow, kWatchedWindowSelector));
    if (watched != nullptr && Host.PreviousWatchedProcedure != nullptr) {
      SetWindowLongPtrA(watched, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(Host.PreviousWatchedProcedure));
    }
    AskHost(kIpcSetVisWindow, 0);
    ShutDownDrawing();
    SaveSettings(module->hDllInstance);
    if (HWND frame = Host.FrameRecord.frame) {
      SetForegroundWindow(HostMainWindow());
      DestroyWindow(frame);
    }
    Plugin.VisWindow = nullptr;
    UnregisterClassA(kVisWindowClassName, module->hDllInstance);
    ResetPluginHooks();
    ResetHostState();
  } catch (...) {
  }
}

void Config(winampVisModule* module) {
  try {
    if (HWND dialog = OptionsDialogWindow()) {
      BringWindowToTop(dialog);
      return;
    }
    if (Plugin.Module == nullptr) Plugin.Module = module;  // Config before any Init
    HWND owner = Plugin.VisWindow;
    if (owner == nullptr) {
      EnumerateDisplayDevices();
      LoadSettings(module->hDllInstance);
      Plugin.Instance = module->hDllInstance;
      owner = module->hwndParent;
    }
    RunOptionsDialog(module->hDllInstance, owner);
  } catch (...) {
  }
}
