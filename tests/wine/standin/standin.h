#pragma once
// The player stand-in's parts: its log, the player's windows and answers, what it reads of the
// plug-in (pixels, the instrumented DLL's counters, the process's resources) and the actions on
// the plug-in's windows. main.cpp runs them.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bridge/player_protocol.h"

namespace standin {

// kExitLoad: the DLL, its export or its records are missing; kExitWatchdog: the run outlived
// its time limit.
enum ExitCode : int {
  kExitOk,
  kExitUsage = 2,
  kExitLoad,
  kExitInit = 5,
  kExitWatchdog,
  kExitCrash = 8
};

// The command line (main.cpp's usage); exit codes are ExitCode's.
struct Options {
  std::string dllPath;
  std::string scenario = "play";  // init (Init and Quit), config (Config only), else play:
                                  // Init, Render every 25 ms for the duration, Quit
  std::string signal = "beats";   // silence, or anything else for beats
  std::string logPath = "-";      // JSON lines
  std::string title = "Stand-in Artist - Steady Tone";  // what IPC 212 points at
  uint32_t durationMs = 2000;
  uint32_t watchdogMs = 0;                 // 0: the duration plus 15 s, per cycle
  uint32_t cycles = 1;                     // Init, render phase and Quit this many times
  bool watchPixels = false;                // the plug-in window's pixel hash after each Render
  std::map<long long, long long> answers;  // --answer IPC=VALUE: a fixed answer
  // --at MS:ACTION, in the order given. ACTION is track=POS, notice=MSG,WPARAM,LPARAM, stop,
  // play, screenshot=FILE.bmp, config, fault and paint (the instrumented DLL's), ui=... and
  // fs=... (window_actions.cpp).
  std::multimap<uint32_t, std::string> actions;
};

// One log line, {"t":MS,"event":"NAME",...}, written whole (and flushed) when it goes out of
// scope, so that a run cut short still leaves a readable log.
class Line {
 public:
  explicit Line(const char* event);
  Line(const Line&) = delete;
  ~Line();
  // Appends fields such as Format(R"("n":%d,"ok":%s)", n, Json(ok)).
  Line& Add(const std::string& fields) {
    body_.append(",").append(fields);
    return *this;
  }
  Line& Text(const char* key, const std::string& s) { return Add(Quote(key) + ":" + Quote(s)); }
  static std::string Quote(const std::string& text);  // a JSON string

 private:
  std::string body_;
};
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
inline const char* Json(bool value) {
  return value ? "true" : "false";
}
bool OpenLog(const std::string& path);
// Logs the exit line, closes the log and returns code.
int Finish(int code);

// The player's windows and what its requests answer.
struct Player {
  HWND host = nullptr;               // the main window, answering WM_USER requests
  HWND watched = nullptr;            // the window whose notices the plug-in hears
  std::atomic<HWND> frame{nullptr};  // the embed window, once asked for
  std::atomic<HWND> vis{nullptr};    // the window last registered by IPC 611
  int playing = 1;                   // IPC 104
  int position = 0;                  // IPC 125
};
extern Player player;
bool CreatePlayerWindows(const Options& options);
void DestroyPlayerWindows();
// Whether the watched window runs its own procedure (the plug-in replaces it in Init).
bool WatchedProcedureIsOurs();
// host, frame, null or other: the names of the windows in the log.
std::string DescribeWindow(HWND window);
// One thread that records and dismisses every dialog of the process and ends the run with
// kExitWatchdog after limitMs.
void StartWatcher(uint32_t limitMs);

// The audio slice at elapsedMs: silence, or a tone that swells on every beat.
void FillAudio(winampVisModule& module, bool silent, uint32_t elapsedMs);

// The window's pixels (whole window or client area) as 0x00RRGGBB, top row first.
bool CopyWindowPixels(HWND window, bool whole, int& width, int& height,
                      std::vector<uint32_t>& pixels);
// Logs "saved", "width" and "height" of a 32-bit BMP of the whole window.
void SaveWindowBmp(Line& line, HWND window, const std::string& path);
// Adds "pixels", and "hash" (FNV-1a) and "lit" (pixels not black) of the client area.
void AddPixels(Line& line, HWND window);

// The instrumented DLL's exports; the shipped DLL has none and adds nothing.
void ObservePlugin(HMODULE dll);
// The about, starts and resumes counts before a call, for its line's *_before fields.
struct Before {
  int about = -1, starts = 0, resumes = 0;
};
Before CountersNow();
void AddCounters(Line& line, const Before& before = {});
// Calls the instrumented DLL's vevirurTestFaultInFrame or vevirurTestPaint (instrument_api.h);
// false for the shipped DLL.
bool CallTestExport(const char* name);
// The process's handle probe, window count and committed private memory (KiB).
void AddResources(Line& line);

// "ui=..." and "fs=..." actions on the plug-in's windows (window_actions.cpp).
void RunUiAction(const std::string& argument, winampVisModule* module);
void RunFullScreenAction(const std::string& argument, winampVisModule* module);
// Sends "MSG,WPARAM,LPARAM" to window and adds the numbers and the result to line.
LRESULT SendNumbers(HWND window, const std::string& numbers, Line& line);

}  // namespace standin
