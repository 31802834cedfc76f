// The instrumented plug-in: the shipped objects linked with --wrap for a few core functions,
// so the stand-in can count what the plug-in did and plant a processor fault inside a frame.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "instrument/instrument_api.h"
#include "ui/text_overlays.h"

namespace {

std::atomic<int> about_screens{0};
std::atomic<int> new_effect_requests{0};
std::atomic<int> error_reports{0};
std::atomic<int> faults_injected{0};
std::atomic<int> lines_drawn{0};
std::atomic<int> fault_pending{0};
std::atomic<int> thread_starts{0};
std::atomic<int> thread_resumes{0};
char last_error[64];

}  // namespace

extern "C" {

void __real__Z8DrawLineiiiittt(int x1, int y1, int x2, int y2, uint16_t r, uint16_t g, uint16_t b);
void __real__Z11ReportErrorPKc(const char* text);
void __real__Z16RequestNewEffectv();
int __real__Z15StartDrawThreadv();
void __real__Z16ResumeDrawThreadv();
void __real__Z15DrawAboutScreenP5HDC__P11HINSTANCE__RK7tagRECTi(HDC dc, HINSTANCE instance,
                                                                const RECT& picture, int clear);

void __wrap__Z8DrawLineiiiittt(int x1, int y1, int x2, int y2, uint16_t r, uint16_t g, uint16_t b) {
  ++lines_drawn;
  if (fault_pending.exchange(0)) {
    ++faults_injected;
    *static_cast<volatile int*>(nullptr) = 1;
  }
  __real__Z8DrawLineiiiittt(x1, y1, x2, y2, r, g, b);
}

void __wrap__Z11ReportErrorPKc(const char* text) {
  ++error_reports;
  last_error[0] = 0;
  if (text) strncat(last_error, text, sizeof last_error - 1);
  __real__Z11ReportErrorPKc(text);
}

void __wrap__Z16RequestNewEffectv() {
  ++new_effect_requests;
  __real__Z16RequestNewEffectv();
}

void __wrap__Z15DrawAboutScreenP5HDC__P11HINSTANCE__RK7tagRECTi(HDC dc, HINSTANCE instance,
                                                                const RECT& picture, int clear) {
  ++about_screens;
  __real__Z15DrawAboutScreenP5HDC__P11HINSTANCE__RK7tagRECTi(dc, instance, picture, clear);
}

int __wrap__Z15StartDrawThreadv() {
  ++thread_starts;
  return __real__Z15StartDrawThreadv();
}

void __wrap__Z16ResumeDrawThreadv() {
  ++thread_resumes;
  __real__Z16ResumeDrawThreadv();
}

void vevirurTestCounters(PluginTestCounters* counters) {
  *counters = PluginTestCounters{};
  counters->aboutScreens = about_screens;
  counters->newEffectRequests = new_effect_requests;
  counters->errorReports = error_reports;
  counters->faultsInjected = faults_injected;
  counters->linesDrawn = lines_drawn;
  counters->isPlaying = Plugin.IsPlaying;
  counters->threadStarts = thread_starts;
  counters->threadResumes = thread_resumes;
  static_assert(sizeof counters->lastError == sizeof last_error);
  memcpy(counters->lastError, last_error, sizeof last_error);
  strncat(counters->title, GetTitleText(), sizeof counters->title - 1);
}

void vevirurTestFaultInFrame() {
  fault_pending = 1;
}

void vevirurTestPaint() {
  HWND window = Plugin.VisWindow;
  if (window == nullptr || Hooks.RenderFrame == nullptr) return;
  HDC dc = GetDC(window);
  Hooks.RenderFrame(Plugin.Module, dc, 1);
  ReleaseDC(window, dc);
}

}  // extern "C"
