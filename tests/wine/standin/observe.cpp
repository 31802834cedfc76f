// What the stand-in hands the plug-in (audio) and reads of it: its window's pixels, the
// instrumented DLL's counters and the process's resources.
#include <cmath>
#include <cstdio>

#include "instrument/instrument_api.h"
#include "standin/standin.h"

namespace standin {
namespace {

HMODULE plugin = nullptr;
PluginTestCountersFunction countersExport = nullptr;

// Counts the process's windows (a window nested n deep counts n times: enough to see a change).
BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountWindow, count);
  return TRUE;
}

}  // namespace

void FillAudio(winampVisModule& module, bool silent, uint32_t elapsedMs) {
  // A 440 Hz tone that swells on each of 120 beats a minute and decays over the beat.
  const double swell = silent ? 0.0 : 0.2 + 0.8 * (1.0 - (elapsedMs % 500) / 500.0);
  for (int i = 0; i < 576; ++i) {
    const double wave = std::sin((elapsedMs * 44.1 + i) * 2 * 3.14159265 * 440 / 44100);
    for (int ch = 0; ch < 2; ++ch) {
      module.waveformData[ch][i] = static_cast<char>(std::lround(120 * swell * wave));
      module.spectrumData[ch][i] = static_cast<unsigned char>((i < 48 ? 240 - 4 * i : 20) * swell);
    }
  }
}

bool CopyWindowPixels(HWND window, bool whole, int& width, int& height,
                      std::vector<uint32_t>& pixels) {
  RECT rect;  // the pixels come top row first
  if (!IsWindow(window) || !(whole ? GetWindowRect(window, &rect) : GetClientRect(window, &rect)))
    return false;
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC windowDc = whole ? GetWindowDC(window) : GetDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memoryDc, bitmap);
  const bool copied = bits && BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  if (copied)
    pixels.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + width * height);
  SelectObject(memoryDc, old);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  return copied;
}

void SaveWindowBmp(Line& line, HWND window, const std::string& path) {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  bool saved = CopyWindowPixels(window, true, width, height, pixels);
  for (uint32_t& pixel : pixels) pixel |= 0xff000000u;  // opaque, for readers that take alpha
  const BITMAPINFOHEADER info = {sizeof info, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
  const BITMAPFILEHEADER header = {0x4d42, offset + static_cast<DWORD>(pixels.size() * 4), 0, 0,
                                   offset};
  FILE* file = saved ? fopen(path.c_str(), "wb") : nullptr;
  saved = file && fwrite(&header, sizeof header, 1, file) && fwrite(&info, sizeof info, 1, file) &&
          fwrite(pixels.data(), 4, pixels.size(), file) == pixels.size();
  if (file) saved = fclose(file) == 0 && saved;
  line.Add(Format(R"("saved":%s,"width":%d,"height":%d)", Json(saved), width, height));
}

void AddPixels(Line& line, HWND window) {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  const bool copied = CopyWindowPixels(window, false, width, height, pixels);
  uint32_t hash = 2166136261u;
  long long lit = 0;
  for (const uint32_t pixel : pixels) {
    lit += (pixel & 0xffffffu) != 0;
    hash = (hash ^ (pixel & 0xffffffu)) * 16777619u;
  }
  line.Add(Format(R"("pixels":%s,"hash":"0x%x","lit":%lld)", Json(copied), hash, lit));
}

void ObservePlugin(HMODULE dll) {
  plugin = dll;
  countersExport = reinterpret_cast<PluginTestCountersFunction>(
      reinterpret_cast<void*>(GetProcAddress(dll, "vevirurTestCounters")));
}

Before CountersNow() {
  if (!countersExport) return {};
  const PluginTestCounters& now = *countersExport();
  return {now.aboutScreens, now.threadStarts, now.threadResumes};
}

void AddCounters(Line& line, const Before& before) {
  if (!countersExport) return;
  const PluginTestCounters& now = *countersExport();
  line.Add(Format(R"("about":%d,"new_effect":%d,"change_drawing":%d,"errors":%d,"faults":%d,)"
                  R"("lines":%d,"playing":%d,"locked":%d,"starts":%d,"resumes":%d)",
                  now.aboutScreens.load(), now.newEffectRequests.load(),
                  now.changeDrawingRequests.load(), now.errorReports.load(),
                  now.faultsInjected.load(), now.linesDrawn.load(), now.isPlaying, now.effectLocked,
                  now.threadStarts.load(), now.threadResumes.load()));
  line.Text("last_error", now.lastError).Text("title", now.title);
  if (before.about < 0) return;
  line.Add(Format(R"("about_before":%d,"starts_before":%d,"resumes_before":%d)", before.about,
                  before.starts, before.resumes));
}

bool CallTestExport(const char* name) {
  const auto function =
      reinterpret_cast<PluginTestFunction>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
  if (function) function();
  return function != nullptr;
}

// Wine answers GetProcessHandleCount, GetGuiResources and the private-bytes counter with 0,
// so the stand-in measures for itself: the value of a fresh handle (the lowest free slot, so
// it climbs when handles leak), the windows of the process, and its committed private memory.
void AddResources(Line& line) {
  HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  CloseHandle(probe);
  int windows = 0;
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
  unsigned long long committed = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
  }
  line.Add(Format(R"("handle_probe":%llu,"windows":%d,"committed_kb":%llu)",
                  reinterpret_cast<uintptr_t>(probe), windows, committed / 1024));
}

}  // namespace standin
