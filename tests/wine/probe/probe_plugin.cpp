// A test double of a visualization plug-in, used to check the player stand-in itself: it
// makes the player's requests in the order a plug-in's Init and Quit make them, replaces the
// watched window's procedure, paints spectrum bars and shows message boxes on request.
//   IPC 0 answering below 0x2900: "probe: host too old" and Init fails.
//   IPC 0 answering 0x7fff0000: Init never returns (for the watchdog).
//   IPC 0 answering 0x7fff0001: Init raises an access violation (for the crash report).
//   IPC 505 answering 0 or 1: "probe: no embed window" and Init fails.
#include <windows.h>

#include "bridge/player_protocol.h"

namespace {

char kDescription[] = "Stand-in probe";
const char kClassName[] = "VevirurStandinProbe";

HostFrameRecord frameRecord;
HWND hostWindow;
HWND visWindow;
HWND watchedWindow;
WNDPROC previousProcedure;
unsigned char bars[16];

LRESULT Ask(int ipc, WPARAM wParam = 0) {
  return AskPlayer(hostWindow, ipc, wParam);
}

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER && wParam == kPlayStateNoticeWParam) Ask(kIpcIsPlaying);
  if ((message == WM_USER || message == kTrackNoticeMessage) && (lParam & kNewTrackBit)) {
    Ask(kIpcGetPlaylistTitle, lParam & kTrackPositionMask);
  }
  return CallWindowProcA(previousProcedure, window, message, wParam, lParam);
}

// Sixteen bars, one per band of the left spectrum, over a dark blue ground.
void PaintBars(HDC dc, const RECT& client) {
  HBRUSH ground = CreateSolidBrush(RGB(0, 0, 64));
  FillRect(dc, &client, ground);
  DeleteObject(ground);
  int width = client.right / 16;
  for (int band = 0; band < 16; ++band) {
    int height = bars[band] * client.bottom / 255;
    RECT bar = {band * width + 1, client.bottom - height, (band + 1) * width - 1, client.bottom};
    HBRUSH brush = CreateSolidBrush(RGB(255 - band * 12, 64 + band * 12, 32));
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
  }
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    PaintBars(dc, client);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int Fail(const char* text) {
  MessageBoxA(hostWindow, text, kDescription, MB_OK);
  return 1;
}

int Init(winampVisModule* module) {
  hostWindow = module->hwndParent;
  LRESULT version = Ask(kIpcGetVersion);
  if (version == 0x7fff0000) Sleep(INFINITE);
  if (version == 0x7fff0001) *static_cast<volatile int*>(nullptr) = 1;
  if (static_cast<int>(version) < kRequiredPlayerVersion) return Fail("probe: host too old");
  LRESULT embed = Ask(kIpcGetEmbedFunction);
  if (embed == 0 || embed == 1) return Fail("probe: no embed window");
  frameRecord = {};
  frameRecord.rect = {50, 50, 370, 290};
  HWND frame = reinterpret_cast<EmbedWindowFunction>(embed)(&frameRecord);
  if (!frame || frame != frameRecord.frame) return Fail("probe: bad frame window");
  SetWindowTextA(frame, module->description);
  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = ProbeProc;
  windowClass.hInstance = module->hDllInstance;
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassA(&windowClass)) return Fail("probe: cannot register class");
  RECT client;
  GetClientRect(frame, &client);
  visWindow = CreateWindowExA(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                              client.bottom, frame, nullptr, module->hDllInstance, nullptr);
  if (!visWindow) return Fail("probe: cannot create window");
  Ask(kIpcSetVisWindow, reinterpret_cast<WPARAM>(visWindow));
  ShowWindow(frame, SW_SHOWNORMAL);
  watchedWindow = reinterpret_cast<HWND>(Ask(kIpcGetWindow, kWatchedWindowSelector));
  previousProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(watchedWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoticeProc)));
  LRESULT position = Ask(kIpcGetPlaylistPosition);
  Ask(kIpcGetPlaylistTitle, position);
  return 0;
}

int Render(winampVisModule* module) {
  Ask(kIpcIsPlaying);
  for (int band = 0; band < 16; ++band) {
    int peak = 0;
    for (int i = band * 36; i < band * 36 + 36; ++i) {
      if (module->spectrumData[0][i] > peak) peak = module->spectrumData[0][i];
    }
    bars[band] = static_cast<unsigned char>(peak);
  }
  InvalidateRect(visWindow, nullptr, FALSE);
  UpdateWindow(visWindow);
  return 0;
}

void Quit(winampVisModule* module) {
  HWND watched = reinterpret_cast<HWND>(Ask(kIpcGetWindow, kWatchedWindowSelector));
  SetWindowLongPtrA(watched, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
  Ask(kIpcSetVisWindow, 0);
  DestroyWindow(frameRecord.frame);
  visWindow = nullptr;
  UnregisterClassA(kClassName, module->hDllInstance);
}

void Config(winampVisModule* module) {
  MessageBoxA(module->hwndParent, "probe: no options", kDescription, MB_OK);
}

winampVisModule probeModule = {kDescription, nullptr, nullptr, 0,    0,      0,    25,     1, 1,
                               {},           {},      Config,  Init, Render, Quit, nullptr};

winampVisModule* GetModule(int index) {
  return index == 0 ? &probeModule : nullptr;
}

winampVisHeader probeHeader = {kVisHeaderVersion, kDescription, GetModule};

}  // namespace

extern "C" __declspec(dllexport) winampVisHeader* winampVisGetHeader() {
  return &probeHeader;
}
