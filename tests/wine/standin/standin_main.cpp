// vis_host_standin: plays the player's side for a visualization plug-in DLL, as a test
// harness under Wine. It loads the DLL, reads its records, calls Init, Render every 25 ms with
// made-up audio, sends the player's notices, calls Quit, and logs everything it saw as JSON
// lines. Run with --help for the options and exit codes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bridge/player_protocol.h"
#include "standin/fullscreen_actions.h"
#include "standin/json_log.h"
#include "standin/options.h"
#include "standin/player_host.h"
#include "standin/plugin_observer.h"
#include "standin/screenshot.h"
#include "standin/synthetic_audio.h"
#include "standin/ui_actions.h"
#include "standin/watchers.h"
#include "ui/win32/vis_window.h"

namespace standin {
namespace {

constexpr uint32_t kRenderPeriodMs = 25;

int Finish(int code) {
  Log().Write(JsonLine("exit").Int("code", code));
  Log().Close();
  return code;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info ? info->ExceptionRecord : nullptr;
  Log().Write(
      JsonLine("crash")
          .Hex("code", record ? record->ExceptionCode : 0)
          .Hex("address", record ? reinterpret_cast<uintptr_t>(record->ExceptionAddress) : 0));
  Finish(kExitCrashed);
  TerminateProcess(GetCurrentProcess(), kExitCrashed);
  return EXCEPTION_EXECUTE_HANDLER;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Pumps messages until ms have passed, so windows stay alive while the stand-in waits.
void PumpFor(uint32_t ms) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

void LogModule(int index, const winampVisModule* module) {
  JsonLine line("module");
  line.Int("index", index).Bool("null", module == nullptr);
  if (module) {
    line.Text("description", module->description ? module->description : "")
        .Bool("description_null", module->description == nullptr)
        .Int("latency_ms", module->latencyMs)
        .Int("delay_ms", module->delayMs)
        .Int("spectrum_nch", module->spectrumNch)
        .Int("waveform_nch", module->waveformNch)
        .Bool("config", module->Config != nullptr)
        .Bool("init", module->Init != nullptr)
        .Bool("render", module->Render != nullptr)
        .Bool("quit", module->Quit != nullptr)
        .Bool("user_data_null", module->userData == nullptr)
        .Int("record_size", sizeof(winampVisModule));
  }
  Log().Write(line);
}

void SendNotice(const char* kind, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND watched = WatchedWindow();
  bool replaced = !WatchedProcedureIsOurs();
  LRESULT result = SendMessageA(watched, message, wParam, lParam);
  JsonLine line("notice");
  line.Text("kind", kind)
      .Int("message", message)
      .Int("wparam", static_cast<long long>(wParam))
      .Hex("lparam", static_cast<unsigned long long>(lParam))
      .Bool("procedure_replaced", replaced)
      .Hex("result", static_cast<unsigned long long>(result));
  AddCounters(line);
  Log().Write(line);
}

void Screenshot(const std::string& path) {
  int width = 0, height = 0;
  HWND frame = FrameWindow();
  bool saved = frame && SaveWindowPng(frame, path, width, height);
  Log().Write(JsonLine("screenshot")
                  .Text("path", path)
                  .Bool("frame", frame != nullptr)
                  .Bool("saved", saved)
                  .Int("width", width)
                  .Int("height", height));
}

// Whether the plug-in's window class is registered for its instance.
bool VisClassRegistered(HMODULE dll) {
  WNDCLASSA windowClass;
  return GetClassInfoA(dll, kVisWindowClassName, &windowClass) != 0;
}

void CallConfig(winampVisModule* module) {
  Log().Write(JsonLine("config_call"));
  module->Config(module);
  Log().Write(JsonLine("config_return").Int("dialogs_seen", DialogsSeen()));
}

void RunAction(const TimedAction& action, winampVisModule* module) {
  const std::string& verb = action.verb;
  if (verb == "track" || verb == "track-user") {
    int position = atoi(action.argument.c_str());
    SetPlaylistPosition(position);
    LPARAM lParam = kNewTrackBit | (position & kTrackPositionMask);
    SendNotice("track", verb == "track" ? kTrackNoticeMessage : WM_USER, 0, lParam);
  } else if (verb == "stop" || verb == "play") {
    SetHostPlaying(verb == "play");
    SendNotice(verb == "play" ? "play_state_playing" : "play_state_stopped", WM_USER,
               kPlayStateNoticeWParam, 0);
  } else if (verb == "notice") {
    char* end = nullptr;
    const char* text = action.argument.c_str();
    UINT message = static_cast<UINT>(strtoul(text, &end, 0));
    WPARAM wParam = *end == ',' ? static_cast<WPARAM>(strtoull(end + 1, &end, 0)) : 0;
    LPARAM lParam = *end == ',' ? static_cast<LPARAM>(strtoll(end + 1, &end, 0)) : 0;
    SendNotice("raw", message, wParam, lParam);
  } else if (verb == "screenshot") {
    Screenshot(action.argument);
  } else if (verb == "config") {
    CallConfig(module);
  } else if (verb == "fault") {
    Log().Write(JsonLine("fault").Bool("planted", PlantFault()));
  } else if (verb == "fs") {
    RunFullScreenAction(action.argument, module);
  } else if (verb == "paint") {
    const CountersBefore before = ReadCountersBefore();
    JsonLine line("paint");
    line.Bool("done", PaintLikeWindow());
    AddCountersBefore(line, before);
    AddCounters(line);
    Log().Write(line);
  } else if (verb == "ui") {
    RunUiAction(action.argument, module);
  }
}

// Render every 25 ms for the run's duration, with the timed actions in between.
void RenderPhase(const Options& options, winampVisModule* module) {
  DWORD start = GetTickCount();
  size_t nextAction = 0;
  int calls = 0;
  Signal lastSignal = Signal::kTone;
  bool first = true;
  for (;;) {
    PumpMessages();
    uint32_t elapsed = GetTickCount() - start;
    while (nextAction < options.actions.size() && options.actions[nextAction].atMs <= elapsed) {
      RunAction(options.actions[nextAction++], module);
    }
    if (elapsed >= options.durationMs) break;
    Signal signal = SignalAt(options.signal, elapsed, options.durationMs);
    if (first || signal != lastSignal)
      Log().Write(JsonLine("signal").Text("name", SignalName(signal)));
    first = false;
    lastSignal = signal;
    FillAudio(*module, signal, elapsed);
    const CountersBefore counters = ReadCountersBefore();
    DWORD before = GetTickCount();
    int result = module->Render(module);
    JsonLine line("render");
    line.Int("n", calls++)
        .Hex("result", static_cast<uint32_t>(result))
        .Int("ms", GetTickCount() - before);
    AddCountersBefore(line, counters);
    AddCounters(line);
    if (options.watchPixels) AddPixels(line, RegisteredVisWindow());
    Log().Write(line);
    uint32_t due = calls * kRenderPeriodMs;
    uint32_t now = GetTickCount() - start;
    if (due > now) PumpFor(due - now);
  }
  // Actions at or past the end of the render phase still run, in order.
  while (nextAction < options.actions.size()) RunAction(options.actions[nextAction++], module);
  Log().Write(JsonLine("render_done").Int("calls", calls));
}

// Init, the render phase and Quit once; kExitInitFailed when Init fails.
int PlayOnce(const Options& options, winampVisModule* module, HMODULE dll) {
  Log().Write(JsonLine("init_call"));
  int initResult = module->Init(module);
  Log().Write(JsonLine("init_return")
                  .Int("result", initResult)
                  .Bool("procedure_replaced", !WatchedProcedureIsOurs())
                  .Text("frame", DescribeWindow(FrameWindow()))
                  .Bool("frame_visible", FrameWindow() && IsWindowVisible(FrameWindow()))
                  .Bool("class_registered", VisClassRegistered(dll)));
  if (initResult != 0) return kExitInitFailed;

  if (options.scenario != "init") RenderPhase(options, module);
  if (!options.screenshotPath.empty()) Screenshot(options.screenshotPath);

  Log().Write(JsonLine("quit_call"));
  module->Quit(module);
  HWND visWindow = RegisteredVisWindow();
  Log().Write(JsonLine("quit_return")
                  .Bool("procedure_replaced", !WatchedProcedureIsOurs())
                  .Bool("frame_exists", FrameWindow() != nullptr)
                  .Bool("vis_window_exists", visWindow && IsWindow(visWindow))
                  .Bool("class_registered", VisClassRegistered(dll)));
  PumpFor(100);
  return kExitOk;
}

int Run(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    if (error == "help") {
      fputs(UsageText(), stdout);
      return kExitOk;
    }
    fprintf(stderr, "vis_host_standin: %s\n%s", error.c_str(), UsageText());
    return kExitUsage;
  }
  if (!Log().Open(options.logPath)) {
    fprintf(stderr, "vis_host_standin: cannot write %s\n", options.logPath.c_str());
    return kExitLogFailed;
  }
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(OnCrash);
  Log().Write(JsonLine("start")
                  .Text("dll", options.dllPath)
                  .Text("scenario", options.scenario)
                  .Text("signal", options.signal)
                  .Int("duration_ms", options.durationMs)
                  .Int("watchdog_ms", options.watchdogMs));
  StartWatchdog(options.watchdogMs);
  StartDialogWatcher();

  HINSTANCE self = GetModuleHandleA(nullptr);
  if (!CreatePlayerWindows(self, options)) {
    Log().Write(JsonLine("error").Text("what", "cannot create the player's windows"));
    return Finish(kExitHostFailed);
  }

  HMODULE dll = LoadLibraryA(options.dllPath.c_str());
  Log().Write(JsonLine("load").Bool("ok", dll != nullptr).Int("error", dll ? 0 : GetLastError()));
  if (!dll) return Finish(kExitLoadFailed);
  auto getHeader = reinterpret_cast<winampVisGetHeaderType>(
      reinterpret_cast<void*>(GetProcAddress(dll, "winampVisGetHeader")));
  Log().Write(JsonLine("export").Text("name", "winampVisGetHeader").Bool("found", getHeader));
  ObservePlugin(dll);
  if (!getHeader) return Finish(kExitLoadFailed);

  winampVisHeader* header = getHeader();
  JsonLine headerLine("header");
  headerLine.Bool("null", header == nullptr);
  if (header) {
    headerLine.Hex("version", header->version)
        .Text("description", header->description ? header->description : "")
        .Bool("get_module", header->getModule != nullptr);
  }
  Log().Write(headerLine);
  if (!header || !header->getModule) return Finish(kExitBadRecords);

  winampVisModule* module = header->getModule(0);
  LogModule(0, module);
  LogModule(1, header->getModule(1));
  if (!module || !module->Init || !module->Render || !module->Quit || !module->Config) {
    return Finish(kExitBadRecords);
  }
  if (options.scenario == "records") {
    FreeLibrary(dll);
    DestroyPlayerWindows();
    return Finish(kExitOk);
  }

  module->hwndParent = HostMainWindow();
  module->hDllInstance = dll;
  module->sRate = 44100;
  module->nCh = 2;
  FillAudio(*module, Signal::kSilence, 0);
  Log().Write(JsonLine("fill")
                  .Text("hwnd_parent", DescribeWindow(module->hwndParent))
                  .Bool("dll_instance", module->hDllInstance == dll)
                  .Int("s_rate", module->sRate)
                  .Int("n_ch", module->nCh));

  if (options.scenario == "config") {
    CallConfig(module);
    PumpFor(100);
    FreeLibrary(dll);
    DestroyPlayerWindows();
    return Finish(kExitOk);
  }

  for (int cycle = 0; cycle < options.cycles; ++cycle) {
    int code = PlayOnce(options, module, dll);
    if (code != kExitOk) {
      // The player does not call Quit after a failed Init.
      PumpFor(100);
      DestroyPlayerWindows();
      FreeLibrary(dll);
      return Finish(code);
    }
    JsonLine line("cycle");
    line.Int("n", cycle);
    AddResources(line);
    Log().Write(line);
  }
  PumpFor(100);
  DestroyPlayerWindows();
  FreeLibrary(dll);
  Log().Write(JsonLine("unloaded").Int("dialogs_seen", DialogsSeen()));
  return Finish(kExitOk);
}

}  // namespace
}  // namespace standin

int main(int argc, char** argv) {
  try {
    return standin::Run(argc, argv);
  } catch (...) {
    return standin::Finish(standin::kExitCrashed);
  }
}
