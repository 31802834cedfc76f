#include "standin/plugin_observer.h"

#include <cstdint>
#include <vector>

#include "instrument/instrument_api.h"
#include "standin/screenshot.h"

namespace standin {
namespace {

PluginTestCountersFunction counters_export = nullptr;
PluginTestFaultFunction fault_export = nullptr;
PluginTestFaultFunction paint_export = nullptr;

BOOL CALLBACK CountChildWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Counts the process's top-level windows and their children.
BOOL CALLBACK CountProcessWindows(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountChildWindow, count);
  return TRUE;
}

template <typename Function>
Function Find(HMODULE dll, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

}  // namespace

void ObservePlugin(HMODULE dll) {
  counters_export = Find<PluginTestCountersFunction>(dll, kPluginTestCountersExport);
  fault_export = Find<PluginTestFaultFunction>(dll, kPluginTestFaultExport);
  paint_export = Find<PluginTestFaultFunction>(dll, kPluginTestPaintExport);
}

bool PluginIsInstrumented() {
  return counters_export != nullptr;
}

void AddCounters(JsonLine& line) {
  if (!counters_export) return;
  PluginTestCounters counters;
  counters_export(&counters);
  line.Int("about", counters.aboutScreens)
      .Int("new_effect", counters.newEffectRequests)
      .Int("errors", counters.errorReports)
      .Text("last_error", counters.lastError)
      .Int("faults", counters.faultsInjected)
      .Int("lines", counters.linesDrawn)
      .Int("playing", counters.isPlaying)
      .Int("change_drawing", counters.changeDrawingRequests)
      .Int("locked", counters.effectLocked)
      .Int("starts", counters.threadStarts)
      .Int("resumes", counters.threadResumes)
      .Text("title", counters.title);
}

CountersBefore ReadCountersBefore() {
  CountersBefore before;
  if (!counters_export) return before;
  PluginTestCounters counters;
  counters_export(&counters);
  before.read = true;
  before.about = counters.aboutScreens;
  before.starts = counters.threadStarts;
  before.resumes = counters.threadResumes;
  return before;
}

void AddCountersBefore(JsonLine& line, const CountersBefore& before) {
  if (!before.read) return;
  line.Int("about_before", before.about)
      .Int("starts_before", before.starts)
      .Int("resumes_before", before.resumes);
}

void AddPixels(JsonLine& line, HWND window) {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  const bool copied = CopyWindowPixels(window, WindowArea::kClient, width, height, pixels);
  uint32_t hash = 2166136261u;
  long long lit = 0;
  for (const uint32_t pixel : pixels) {
    const uint32_t rgb = pixel & 0xffffffu;
    lit += rgb != 0;
    hash = (hash ^ rgb) * 16777619u;
  }
  line.Bool("pixels", copied);
  if (copied) line.Hex("hash", hash).Int("lit", lit);
}

bool PlantFault() {
  if (!fault_export) return false;
  fault_export();
  return true;
}

bool PaintLikeWindow() {
  if (!paint_export) return false;
  paint_export();
  return true;
}

// Wine answers GetProcessHandleCount, GetGuiResources and the private-bytes counter with 0,
// so the stand-in measures for itself: the value of a fresh handle (the lowest free slot, so
// it climbs when handles leak), the windows of the process, and its committed private memory.
void AddResources(JsonLine& line) {
  HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  const auto probeValue = reinterpret_cast<uintptr_t>(probe);
  if (probe) CloseHandle(probe);
  int windows = 0;
  EnumWindows(CountProcessWindows, reinterpret_cast<LPARAM>(&windows));
  unsigned long long committed = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* address = nullptr;
       VirtualQuery(address, &region, sizeof region) == sizeof region;
       address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
  }
  line.Int("handle_probe", static_cast<long long>(probeValue))
      .Int("windows", windows)
      .Int("committed_kb", static_cast<long long>(committed / 1024));
}

}  // namespace standin
