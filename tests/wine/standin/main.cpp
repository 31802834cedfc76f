// vis_host_standin: plays the player's side for a visualization plug-in DLL under Wine. It
// loads the DLL, logs its records, calls Init, Render every 25 ms with made-up audio and the
// timed actions in between, and Quit, and logs everything it saw as JSON lines.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "standin/standin.h"
#include "ui/win32/vis_window.h"

namespace standin {
namespace {

// The options are Options' fields (standin.h); the actions are RunAction's.
const char kUsage[] =
    "usage: vis_host_standin [--scenario init|config|play] [--duration MS] [--cycles N]\n"
    "  [--signal silence|beats] [--answer IPC=VALUE] [--title TEXT] [--at MS:ACTION]...\n"
    "  [--watch-pixels] [--log FILE.jsonl] [--watchdog MS] PLUGIN.dll\n";

bool ParseOptions(int argc, char** argv, Options& options) {
  const std::map<std::string, std::string*> texts = {{"--scenario", &options.scenario},
                                                     {"--signal", &options.signal},
                                                     {"--log", &options.logPath},
                                                     {"--title", &options.title}};
  const std::map<std::string, uint32_t*> numbers = {{"--duration", &options.durationMs},
                                                    {"--watchdog", &options.watchdogMs},
                                                    {"--cycles", &options.cycles}};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : "";
    const char* separator = value + strcspn(value, ":=");
    if (arg == "--watch-pixels") {
      options.watchPixels = true;
    } else if (arg.rfind("--", 0) != 0 && options.dllPath.empty()) {
      options.dllPath = arg;
    } else if (texts.count(arg) && ++i < argc) {
      *texts.at(arg) = value;
    } else if (numbers.count(arg) && ++i < argc) {
      *numbers.at(arg) = strtoul(value, nullptr, 0);
    } else if (arg == "--answer" && *separator && ++i < argc) {
      options.answers[strtoll(value, nullptr, 0)] = strtoll(separator + 1, nullptr, 0);
    } else if (arg == "--at" && *separator && ++i < argc) {
      options.actions.emplace(strtoul(value, nullptr, 0), separator + 1);
    } else {
      return false;
    }
  }
  return !options.dllPath.empty() && options.cycles > 0;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  Line("crash").Add(Format(R"("code":"0x%lx")", info->ExceptionRecord->ExceptionCode));
  TerminateProcess(GetCurrentProcess(), Finish(kExitCrash));
  return EXCEPTION_EXECUTE_HANDLER;
}

// Pumps messages until ms have passed, so windows stay alive while the stand-in waits.
void PumpFor(uint32_t ms) {
  for (DWORD start = GetTickCount();;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

bool VisClassRegistered(HMODULE dll) {
  WNDCLASSA windowClass;
  return GetClassInfoA(dll, kVisWindowClassName, &windowClass) != 0;
}

void SendNotice(const char* kind, const std::string& numbers) {
  Line line("notice");
  line.Text("kind", kind)
      .Add(Format(R"("procedure_replaced":%s)", Json(!WatchedProcedureIsOurs())));
  SendNumbers(player.watched, numbers, line);
  AddCounters(line);
}

void RunAction(const std::string& action, winampVisModule* module) {
  const size_t equals = action.find('=');
  const std::string verb = action.substr(0, equals);
  const std::string argument = equals == std::string::npos ? "" : action.substr(equals + 1);
  if (verb == "track") {
    player.position = atoi(argument.c_str());
    SendNotice("track", Format("%u,0,%lld", kTrackNoticeMessage, kNewTrackBit | player.position));
  } else if (verb == "stop" || verb == "play") {
    player.playing = verb == "play";
    SendNotice(verb == "play" ? "play_state_playing" : "play_state_stopped",
               Format("%u,%llu,0", WM_USER, kPlayStateNoticeWParam));
  } else if (verb == "notice") {
    SendNotice("raw", argument);
  } else if (verb == "screenshot") {
    Line line("screenshot");
    SaveWindowBmp(line, player.frame, argument);
  } else if (verb == "config") {
    module->Config(module);
  } else if (verb == "fault") {
    Line("fault").Add(Format(R"("planted":%s)", Json(CallTestExport("vevirurTestFaultInFrame"))));
  } else if (verb == "paint") {
    const Before before = CountersNow();
    Line line("paint");
    line.Add(Format(R"("done":%s)", Json(CallTestExport("vevirurTestPaint"))));
    AddCounters(line, before);
  } else if (verb == "ui") {
    RunUiAction(argument, module);
  } else if (verb == "fs") {
    RunFullScreenAction(argument, module);
  } else {
    Line("ui").Text("unknown_action", action);
  }
}

// Render every 25 ms for the run's duration, with the timed actions in between; the actions
// at or after its end still run, in order.
void RenderPhase(const Options& options, winampVisModule* module) {
  const DWORD start = GetTickCount();
  auto next = options.actions.begin();
  for (uint32_t calls = 0;; ++calls) {
    const uint32_t due = calls * 25, now = GetTickCount() - start;
    PumpFor(due > now ? due - now : 0);
    const uint32_t elapsed = GetTickCount() - start;
    for (; next != options.actions.end() && next->first <= elapsed; ++next)
      RunAction(next->second, module);
    if (elapsed >= options.durationMs) break;
    FillAudio(*module, options.signal == "silence", elapsed);
    const Before before = CountersNow();
    const DWORD called = GetTickCount();
    const int result = module->Render(module);
    Line line("render");
    line.Add(Format(R"("n":%u,"result":"0x%x","ms":%lu)", calls, result, GetTickCount() - called));
    AddCounters(line, before);
    if (options.watchPixels) AddPixels(line, player.vis);
  }
  for (; next != options.actions.end(); ++next) RunAction(next->second, module);
}

// Init, the render phase and Quit once; kExitInit when Init fails.
int PlayOnce(const Options& options, winampVisModule* module, HMODULE dll) {
  Line("init_call");
  const int result = module->Init(module);
  Line("init_return")
      .Text("frame", DescribeWindow(player.frame))
      .Add(Format(R"("result":%d,"class_registered":%s)", result, Json(VisClassRegistered(dll))));
  if (result != 0) return kExitInit;
  if (options.scenario != "init") RenderPhase(options, module);
  Line("quit_call");
  module->Quit(module);
  Line("quit_return")
      .Add(Format(R"("procedure_replaced":%s,"frame_exists":%s,"vis_window_exists":%s,)"
                  R"("class_registered":%s)",
                  Json(!WatchedProcedureIsOurs()), Json(IsWindow(player.frame)),
                  Json(IsWindow(player.vis)), Json(VisClassRegistered(dll))));
  PumpFor(100);
  return kExitOk;
}

int Run(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    fputs(kUsage, stderr);
    return kExitUsage;
  }
  if (!OpenLog(options.logPath)) return kExitUsage;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(OnCrash);
  StartWatcher(options.watchdogMs ? options.watchdogMs
                                  : (options.durationMs + 15000) * options.cycles);
  HMODULE dll = LoadLibraryA(options.dllPath.c_str());
  auto getHeader = reinterpret_cast<winampVisGetHeaderType>(
      reinterpret_cast<void*>(dll ? GetProcAddress(dll, "winampVisGetHeader") : nullptr));
  winampVisHeader* header = getHeader ? getHeader() : nullptr;
  winampVisModule* module = header ? header->getModule(0) : nullptr;
  if (!CreatePlayerWindows(options) || !module) return Finish(kExitLoad);
  ObservePlugin(dll);
  Line("header")
      .Text("description", header->description)
      .Text("module", module->description)
      .Add(Format(R"("version":"0x%x","latency_ms":%d,"delay_ms":%d,"spectrum_nch":%d,)"
                  R"("waveform_nch":%d,"user_data_null":%s,"module_1_null":%s)",
                  header->version, module->latencyMs, module->delayMs, module->spectrumNch,
                  module->waveformNch, Json(!module->userData), Json(!header->getModule(1))));
  module->hwndParent = player.host;
  module->hDllInstance = dll;
  module->sRate = 44100;
  module->nCh = 2;
  int code = kExitOk;
  if (options.scenario == "config") module->Config(module);
  for (uint32_t cycle = 0;
       options.scenario != "config" && cycle < options.cycles && code == kExitOk; ++cycle) {
    code = PlayOnce(options, module, dll);
    Line line("cycle");
    AddResources(line);
  }
  PumpFor(100);
  DestroyPlayerWindows();
  FreeLibrary(dll);
  return Finish(code);
}

}  // namespace
}  // namespace standin

int main(int argc, char** argv) {
  return standin::Run(argc, argv);
}
