// The instrumented plug-in: the shipped objects linked with --wrap for a few core functions,
// so the stand-in can count what the plug-in did and plant a processor fault inside a frame.
#include <windows.h>

#include <cstdint>

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "instrument/instrument_api.h"
#include "pipeline/requests.h"
#include "ui/text_overlays.h"

namespace {

PluginTestCounters counters;
std::atomic<int> faultPending{0};

}  // namespace

extern "C" {

// A wrapper that counts the calls of a function without arguments.
#define COUNT_CALLS(type, symbol, counter) \
  type __real_##symbol();                  \
  type __wrap_##symbol() {                 \
    ++counters.counter;                    \
    return __real_##symbol();              \
  }
COUNT_CALLS(void, _Z16RequestNewEffectv, newEffectRequests)
COUNT_CALLS(void, _Z20RequestChangeDrawingv, changeDrawingRequests)
COUNT_CALLS(int, _Z15StartDrawThreadv, threadStarts)
COUNT_CALLS(void, _Z16ResumeDrawThreadv, threadResumes)

void __real__Z8DrawLineiiiittt(int x1, int y1, int x2, int y2, uint16_t r, uint16_t g, uint16_t b);
void __real__Z11ReportErrorPKc(const char* text);
void __real__Z15DrawAboutScreenP5HDC__P11HINSTANCE__RK7tagRECTi(HDC dc, HINSTANCE instance,
                                                                const RECT& picture, int clear);

void __wrap__Z8DrawLineiiiittt(int x1, int y1, int x2, int y2, uint16_t r, uint16_t g, uint16_t b) {
  ++counters.linesDrawn;
  if (faultPending.exchange(0)) {
    ++counters.faultsInjected;
    *static_cast<volatile int*>(nullptr) = 1;
  }
  __real__Z8DrawLineiiiittt(x1, y1, x2, y2, r, g, b);
}

void __wrap__Z11ReportErrorPKc(const char* text) {
  ++counters.errorReports;
  lstrcpynA(counters.lastError, text ? text : "", sizeof counters.lastError);
  __real__Z11ReportErrorPKc(text);
}

void __wrap__Z15DrawAboutScreenP5HDC__P11HINSTANCE__RK7tagRECTi(HDC dc, HINSTANCE instance,
                                                                const RECT& picture, int clear) {
  ++counters.aboutScreens;
  __real__Z15DrawAboutScreenP5HDC__P11HINSTANCE__RK7tagRECTi(dc, instance, picture, clear);
}

PluginTestCounters* vevirurTestCounters() {
  counters.isPlaying = Plugin.IsPlaying;
  counters.effectLocked = Requests.EffectLocked;
  lstrcpynA(counters.title, GetTitleText(), sizeof counters.title);
  return &counters;
}

void vevirurTestFaultInFrame() {
  faultPending = 1;
}

void vevirurTestPaint() {
  HWND window = Plugin.VisWindow;
  if (window == nullptr || Hooks.RenderFrame == nullptr) return;
  HDC dc = GetDC(window);
  Hooks.RenderFrame(Plugin.Module, dc, 1);
  ReleaseDC(window, dc);
}

}  // extern "C"
