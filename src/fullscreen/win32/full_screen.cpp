#include "fullscreen/win32/full_screen.h"

#include <cstring>

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "fullscreen/display_devices.h"
#include "fullscreen/gamma.h"
#include "fullscreen/win32/directdraw_modes.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "raster/drawing.h"
#include "settings/plugin_settings.h"
#include "ui/text_overlays.h"
#include "ui/win32/gdi_overlays.h"
#include "ui/win32/vis_window.h"

namespace {

struct FullScreenState {
  HWND window = nullptr;
  IDirectDraw7* directDraw = nullptr;
  IDirectDrawSurface7* primarySurface = nullptr;
  IDirectDrawSurface7* backBuffer = nullptr;
  IDirectDrawGammaControl* gammaControl = nullptr;  // none when the device has no gamma
  HWND keyForwardWindow = nullptr;                  // the player's main window, set on every entry
  int leftButtonDown = 0;                           // a press happened inside the window
  WNDCLASSA windowClass{};
};

FullScreenState state;

constexpr DWORD kColourFill = DDBLT_COLORFILL | DDBLT_WAIT;

// Fills `rect` of `surface` with black.
bool FillBlack(IDirectDrawSurface7* surface, RECT rect) {
  DDBLTFX effects{};
  effects.dwSize = sizeof(effects);
  effects.dwFillColor = 0;
  return surface->Blt(&rect, nullptr, nullptr, kColourFill, &effects) == DD_OK;
}

void DestroyFullScreenWindow() {
  if (state.window) DestroyWindow(state.window);
  state.window = nullptr;
}

// Keys the full-screen window uses or swallows; every other key goes on to the player.
bool IsConsumedKey(WPARAM key) {
  switch (key) {
    case 13:
    case 27:
    case 32:
    case 47:
    case 65:
    case 68:
    case 72:
    case 76:
    case 79:
    case 82:
    case 83:
    case 112:
    case 113:
    case 114:
    case 115:
    case 117:
    case 118:
      return true;
    default:
      return false;
  }
}

void ForwardKey(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsConsumedKey(wParam)) PostMessageA(state.keyForwardWindow, message, wParam, lParam);
}

void OnKeyDown(UINT message, WPARAM key, LPARAM lParam) {
  switch (key) {
    case VK_RETURN:
    case VK_F6:
      RequestChangeDrawing();
      break;
    case VK_ESCAPE:
      LeaveFullScreen();
      break;
    case VK_SPACE:
      ToggleTitle();
      break;
    case VK_HELP:
    case 'A':
    case 'H':
    case VK_F1:
      ToggleHelp();
      break;
    case VK_F4:
      ToggleEffectLock();
      break;
    case 'D':
    case 'L':
    case 'R':
    case 'S':
    case VK_F2:
    case VK_F3:
      break;
    default:
      ForwardKey(message, key, lParam);
  }
}

void ChangeGamma(int level) {
  PluginSettings.DDGammaRamp = level;
  ApplyGamma(1);
}

}  // namespace

void SwitchFullScreen(int enter) {
  Plugin.LeaveFullScreenPending = 0;
  StopDrawThread();
  // Cleared before the window goes, so that its destroy and deactivate messages do not ask to
  // leave again.
  Plugin.FullScreenActive = 0;
  if (!enter) {
    CloseFullScreenDisplay(state.window);
    DestroyFullScreenWindow();
    ShowCursor(TRUE);
    AskHost(kIpcFullScreenNotice, 0);
    return;
  }
  // A display still open from an entry whose leave is pending is closed before a new one.
  CloseFullScreenDisplay(state.window);
  DestroyFullScreenWindow();

  if (CreateFullScreenWindow(nullptr, 3, &state.window) != 0) {
    CloseFullScreenDisplay(state.window);
    DestroyFullScreenWindow();
    ReportError("Go FS WinInit fail");
    return;
  }
  PluginSettingsRecord& s = PluginSettings;
  GUID chosen;
  std::memcpy(&chosen, &s.fs_guid, sizeof(chosen));
  const GUID* identity = &chosen;
  if (s.fs_current_monitor) {
    identity = nullptr;  // the primary display driver, unless a device shows VisWindow
    if (const DisplayDevice* device =
            FindDeviceByMonitor(MonitorOfWindow(Plugin.VisWindow, kMonitorDefaultToPrimary))) {
      s.fs_width = static_cast<int>(device->width);
      s.fs_height = static_cast<int>(device->height);
      s.fs_refresh = static_cast<int>(device->refreshRate);
      s.fs_bits = static_cast<int>(device->bitsPerPixel);
      std::memcpy(&chosen, &device->guid, sizeof(chosen));
      identity = &chosen;
    }
  }
  if (!OpenFullScreenDisplay(s.fs_width, s.fs_height, state.window, s.fs_refresh, s.fs_bits,
                             identity)) {
    CloseFullScreenDisplay(state.window);
    DestroyFullScreenWindow();
    ReportError("Go FS DxInit fail");
    return;
  }
  SetWindowPos(state.window, HWND_TOPMOST, 0, 0, s.fs_width, s.fs_height,
               SWP_NOMOVE | SWP_DEFERERASE);
  SetForegroundWindow(state.window);
  UpdateWindow(state.window);
  if (Hooks.RenderFrame) Hooks.RenderFrame(Plugin.Module, nullptr, 1);
  Plugin.FullScreenActive = 1;
  SetTargetRect(PictureRect{0, 0, s.fs_width, s.fs_height});
  state.keyForwardWindow = HostMainWindow();
  ApplyGamma(0);
  if (Hooks.RenderFrame) Hooks.RenderFrame(Plugin.Module, nullptr, 0);
}

HRESULT CreateFullScreenWindow(HINSTANCE instance, int styleHint, HWND* window) {
  WNDCLASSA& windowClass = state.windowClass;
  windowClass = WNDCLASSA{};
  windowClass.lpfnWndProc = FullScreenWindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kFullScreenClassName;
  UnregisterClassA(kFullScreenClassName, instance);
  if (!RegisterClassA(&windowClass)) return kFullScreenFailure;
  state.leftButtonDown = 0;  // a press from before this window does not count
  *window = CreateWindowExA(WS_EX_TOPMOST, kFullScreenClassName, kFullScreenTitle,
                            WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  return *window ? 0 : kFullScreenFailure;
}

int OpenFullScreenDisplay(int width, int height, HWND window, int refreshRate, int bitsPerPixel,
                          const GUID* identity) {
  if (CreateDirectDraw(identity, &state.directDraw) != DD_OK) return 0;
  if (state.directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK) {
    return 0;
  }
  if (state.directDraw->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                       static_cast<DWORD>(bitsPerPixel),
                                       static_cast<DWORD>(refreshRate), 0) != DD_OK) {
    return 0;
  }
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof(description);
  description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  description.dwBackBufferCount = 1;
  if (state.directDraw->CreateSurface(&description, &state.primarySurface, nullptr) != DD_OK) {
    return 0;
  }
  DDSCAPS2 backCaps{};
  backCaps.dwCaps = DDSCAPS_BACKBUFFER;
  if (state.primarySurface->GetAttachedSurface(&backCaps, &state.backBuffer) != DD_OK) return 0;
  // Without a gamma control the display works, only PLUS and MINUS show nothing.
  if (state.primarySurface->QueryInterface(IID_IDirectDrawGammaControl,
                                           reinterpret_cast<void**>(&state.gammaControl)) != S_OK) {
    state.gammaControl = nullptr;
  }
  const RECT whole{0, 0, width, height};
  if (!FillBlack(state.backBuffer, whole)) return 0;
  if (state.primarySurface->Flip(nullptr, DDFLIP_WAIT) != DD_OK) return 0;
  if (!FillBlack(state.primarySurface, whole)) return 0;
  return state.primarySurface->Flip(nullptr, DDFLIP_WAIT) == DD_OK ? 1 : 0;
}

void CloseFullScreenDisplay(HWND window) {
  if (state.gammaControl) state.gammaControl->Release();
  if (state.backBuffer) state.backBuffer->Release();
  if (state.primarySurface) state.primarySurface->Release();
  if (state.directDraw) {
    state.directDraw->RestoreDisplayMode();
    state.directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    state.directDraw->Release();
  }
  state.gammaControl = nullptr;
  state.backBuffer = nullptr;
  state.primarySurface = nullptr;
  state.directDraw = nullptr;
}

int ShowFullScreenFrame(const RECT& picture) {
  HDC backDc = nullptr;
  if (!state.backBuffer || state.backBuffer->GetDC(&backDc) != DD_OK) {
    SwitchFullScreen(0);
    return kFullScreenFailure;
  }
  // The title and the help page become part of the picture ...
  HDC surfaceDc = static_cast<HDC>(GetDrawSurfaceDC());
  if (surfaceDc) {
    DrawTitleOverlay(surfaceDc, picture);
    if (IsHelpVisible()) DrawHelpPage(surfaceDc);
  }
  try {
    BlitDrawSurface(backDc, 0, 0, picture.right - picture.left, picture.bottom - picture.top);
  } catch (...) {
    ReportError("Dxk Blt (FS) error");
  }
  // ... while the message and the about lines go over it on the back buffer only.
  DrawMessageOverlay(backDc, picture);
  if (IsHelpVisible()) DrawAboutScreen(backDc, Plugin.Instance, picture, 0);
  state.backBuffer->ReleaseDC(backDc);
  state.primarySurface->Flip(nullptr, DDFLIP_WAIT);
  return 0;
}

HRESULT ApplyGamma(int showText) {
  if (!state.gammaControl) return 0;
  DDGAMMARAMP ramp{};
  static_assert(sizeof(ramp) == sizeof(GammaRamp));
  HRESULT result = state.gammaControl->GetGammaRamp(0, &ramp);
  if (FAILED(result)) return result;
  GammaRamp levels;
  FillGammaRamp(PluginSettings.DDGammaRamp, &levels);
  std::memcpy(&ramp, &levels, sizeof(ramp));
  result = state.gammaControl->SetGammaRamp(0, &ramp);
  if (FAILED(result)) return result;
  if (showText == 1) {
    char text[kGammaTextBytes];
    ShowMessage(FormatGammaMessage(PluginSettings.DDGammaRamp, text));
  }
  return 0;
}

LRESULT CALLBACK FullScreenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) break;
      [[fallthrough]];
    case WM_DESTROY:
    case WM_CLOSE:
      UnregisterClassA(kFullScreenClassName, state.windowClass.hInstance);
      if (Plugin.FullScreenActive) LeaveFullScreen();
      break;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return 1;
    case WM_KEYDOWN:
      OnKeyDown(message, wParam, lParam);
      return 0;
    case WM_KEYUP:
      ForwardKey(message, wParam, lParam);
      return 0;
    case WM_CHAR:
      if (wParam == '+' || wParam == '=') {
        ChangeGamma(RaiseGammaLevel(PluginSettings.DDGammaRamp));
        return 0;
      }
      if (wParam == '-' || wParam == '_') {
        ChangeGamma(LowerGammaLevel(PluginSettings.DDGammaRamp));
        return 0;
      }
      break;
    case WM_SYSKEYDOWN:
      if (wParam == VK_PRIOR || wParam == VK_LEFT) PreviousEffect();
      if (wParam == VK_NEXT || wParam == VK_RIGHT) NextEffect();
      if (wParam == VK_F4) LeaveFullScreen();
      return 0;
    case WM_SYSKEYUP:
      return 0;
    case WM_SYSCOMMAND:
      // The low four bits of the command are the system's own.
      switch (wParam & 0xFFF0) {
        case SC_KEYMENU:
          if (lParam != VK_RETURN) break;
          LeaveFullScreen();
          return 0;
        case SC_MONITORPOWER:
        case SC_MAXIMIZE:
        case SC_SIZE:
        case SC_MOVE:
          return 0;
      }
      break;
    case WM_MOUSEMOVE:
      return 0;
    case WM_LBUTTONDOWN:
      state.leftButtonDown = 1;
      return 0;
    case WM_LBUTTONUP:
      if (state.leftButtonDown) LeaveFullScreen();
      state.leftButtonDown = 0;
      return 0;
    default:
      if (message >= WM_LBUTTONDBLCLK && message <= WM_MOUSEWHEEL) return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HDC GetBackBufferDC() {
  HDC dc = nullptr;
  if (!state.backBuffer || state.backBuffer->GetDC(&dc) != DD_OK) return nullptr;
  return dc;
}

void ReleaseBackBufferDCAndFlip(HDC dc) {
  if (!state.backBuffer || !dc) return;
  state.backBuffer->ReleaseDC(dc);
  state.primarySurface->Flip(nullptr, DDFLIP_WAIT);
}

HWND FullScreenWindow() {
  return state.window;
}

bool FullScreenDisplayOpen() {
  return state.directDraw || state.primarySurface || state.backBuffer || state.gammaControl;
}

bool FullScreenHasGamma() {
  return state.gammaControl != nullptr;
}

bool ReadFullScreenPicture(int* width, int* height, std::vector<unsigned char>& rgb) {
  if (!state.primarySurface) return false;
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof(description);
  if (state.primarySurface->Lock(nullptr, &description, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) !=
      DD_OK) {
    return false;
  }
  const DDPIXELFORMAT& format = description.ddpfPixelFormat;
  const DWORD bytes = format.dwRGBBitCount / 8;
  if (bytes < 2 || bytes > 4 || !(format.dwFlags & DDPF_RGB)) {
    state.primarySurface->Unlock(nullptr);
    return false;
  }
  *width = static_cast<int>(description.dwWidth);
  *height = static_cast<int>(description.dwHeight);
  rgb.assign(static_cast<size_t>(*width) * *height * 3, 0);
  const DWORD masks[3] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  for (int y = 0; y < *height; ++y) {
    const auto* row = static_cast<const unsigned char*>(description.lpSurface) +
                      static_cast<size_t>(y) * description.lPitch;
    for (int x = 0; x < *width; ++x) {
      DWORD pixel = 0;
      std::memcpy(&pixel, row + x * bytes, bytes);
      for (int c = 0; c < 3; ++c) {
        DWORD mask = masks[c];
        if (!mask) continue;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        const DWORD top = mask >> shift;
        rgb[(static_cast<size_t>(y) * *width + x) * 3 + c] =
            static_cast<unsigned char>(((pixel & mask) >> shift) * 255 / top);
      }
    }
  }
  state.primarySurface->Unlock(nullptr);
  return true;
}

void ResetFullScreenState() {
  state = FullScreenState{};
}
