#pragma once
// What the instrumented plug-in DLL (the shipped objects plus the wrappers of
// instrumented_plugin.cpp) tells the stand-in beyond the player's interface. Only the tests
// build it; the shipped DLL has none of these exports.
#include <atomic>

struct PluginTestCounters {
  std::atomic<int> aboutScreens;           // DrawAboutScreen calls
  std::atomic<int> newEffectRequests;      // RequestNewEffect calls
  std::atomic<int> changeDrawingRequests;  // RequestChangeDrawing calls
  std::atomic<int> errorReports;           // ReportError calls
  std::atomic<int> faultsInjected;         // null writes done on request
  std::atomic<int> linesDrawn;             // DrawLine calls
  std::atomic<int> threadStarts;           // StartDrawThread calls
  std::atomic<int> threadResumes;          // ResumeDrawThread calls
  // Read by each call of the export: the play flag, the effect lock and the overlays' title.
  int isPlaying;
  int effectLocked;
  char title[512];
  char lastError[64];  // the text of the last ReportError
};

// "vevirurTestCounters": the counters, brought up to date.
typedef PluginTestCounters* (*PluginTestCountersFunction)();
// "vevirurTestFaultInFrame": the next line drawn on the draw thread writes to address 0 first.
// "vevirurTestPaint": renders as VisWindow's paint message does (RenderFrame with fromPaint 1).
typedef void (*PluginTestFunction)();
