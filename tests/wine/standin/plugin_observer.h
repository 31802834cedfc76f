#pragma once
// What the stand-in sees of the plug-in beyond its answers: the pixels of the window it
// registered, the counters of the instrumented test DLL (when the DLL has them), and the
// process's handles and memory.
#include <windows.h>

#include "standin/json_log.h"

namespace standin {

// Looks up the instrumented DLL's test exports; the shipped DLL has none.
void ObservePlugin(HMODULE dll);
bool PluginIsInstrumented();

// Adds the instrumented counters (about, new_effect, errors, last_error, faults, lines,
// playing, starts, resumes, title) to line; nothing for the shipped DLL.
void AddCounters(JsonLine& line);

// The about, starts and resumes counters now, to be added to the line of the call that follows
// as about_before, starts_before and resumes_before, so that each call's own effect shows even
// when paint messages come in between.
struct CountersBefore {
  bool read = false;
  int about = 0, starts = 0, resumes = 0;
};
CountersBefore ReadCountersBefore();
void AddCountersBefore(JsonLine& line, const CountersBefore& before);

// Adds "hash" (FNV-1a of the window's client pixels) and "lit" (pixels that are not black).
void AddPixels(JsonLine& line, HWND window);

// Makes the next line the plug-in draws write to address 0; false without the test export.
bool PlantFault();
// Renders as the window's paint message does; false without the test export.
bool PaintLikeWindow();

// Adds the process's handle probe, window count and committed private memory (KiB).
void AddResources(JsonLine& line);

}  // namespace standin
