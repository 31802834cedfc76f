#pragma once
// The stand-in's command line.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace standin {

// Exit codes, so that a test can tell what went wrong without reading the log.
enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 2,
  kExitLoadFailed = 3,  // the DLL or its export is missing
  kExitBadRecords = 4,  // null header or null module 0
  kExitInitFailed = 5,  // Init returned non-zero
  kExitWatchdog = 6,    // the run outlived its time limit
  kExitHostFailed = 7,  // the stand-in could not make its own windows
  kExitCrashed = 8,     // an exception escaped into the stand-in
  kExitLogFailed = 9,   // the log file cannot be written
};

// Something the stand-in does at a time during the render phase ("--at 500:track=3").
struct TimedAction {
  uint32_t atMs = 0;
  std::string verb;      // track, track-user, stop, play, notice, screenshot, config, fault, paint
  std::string argument;  // after '=', may be empty
};

struct Options {
  std::string dllPath;
  std::string scenario = "play";  // records, init, render, play, config
  std::string signal = "mix";     // silence, tone, beats, mix
  std::string logPath = "-";
  std::string screenshotPath;  // taken at the end of the render phase
  std::string title = "Stand-in Artist - Steady Tone";
  uint32_t durationMs = 2000;
  uint32_t watchdogMs = 0;           // 0: duration plus 15 s, per cycle
  int cycles = 1;                    // Init, render phase, Quit, this many times
  bool watchPixels = false;          // log a hash of the plug-in window's pixels per Render
  std::map<int, long long> answers;  // IPC number -> fixed answer, overriding the defaults
  std::vector<TimedAction> actions;  // sorted by time
};

// Fills options from argv; on failure returns false and puts the reason into error.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

const char* UsageText();

}  // namespace standin
