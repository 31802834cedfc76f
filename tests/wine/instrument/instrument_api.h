#pragma once
// What the instrumented plug-in DLL (the shipped objects plus the wrappers of
// instrumented_plugin.cpp) tells the stand-in beyond the player's interface. Only the tests
// build it; the shipped DLL has none of these exports.

struct PluginTestCounters {
  int aboutScreens;       // DrawAboutScreen calls
  int newEffectRequests;  // RequestNewEffect calls
  int errorReports;       // ReportError calls
  int faultsInjected;     // null writes done on request
  int linesDrawn;         // DrawLine calls
  int isPlaying;          // the plug-in's play flag
  int threadStarts;       // StartDrawThread calls
  int threadResumes;      // ResumeDrawThread calls
  char lastError[64];     // text of the last ReportError
  char title[512];        // the title text as the overlays hold it
};

// Fills counters with the current values.
typedef void (*PluginTestCountersFunction)(PluginTestCounters* counters);
inline constexpr const char* kPluginTestCountersExport = "vevirurTestCounters";

// The next line drawn on the draw thread writes to address 0 first.
typedef void (*PluginTestFaultFunction)();
inline constexpr const char* kPluginTestFaultExport = "vevirurTestFaultInFrame";

// Renders as VisWindow's paint message does (RenderFrame with fromPaint 1).
inline constexpr const char* kPluginTestPaintExport = "vevirurTestPaint";
