#include "standin/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace standin {
namespace {

const char kUsage[] =
    "usage: vis_host_standin [options] PLUGIN.dll\n"
    "  --scenario NAME    records: load the DLL and log its records only\n"
    "                     init: Init, then Quit\n"
    "                     render: Init, Render every 25 ms for the duration, Quit\n"
    "                     play (default): render, plus track and play-state notices\n"
    "                     config: call Config with no Init (the dialog is dismissed)\n"
    "  --duration MS      length of the render phase (default 2000)\n"
    "  --signal NAME      silence, tone, beats or mix (thirds of each; default)\n"
    "  --answer IPC=VAL   fixed answer to a WM_USER request, e.g. --answer 0=0x2900\n"
    "  --title TEXT       the track title IPC 212 points at\n"
    "  --at MS:ACTION     during the render phase: track=POS (message 666),\n"
    "                     track-user=POS (WM_USER), stop, play (play-state notice),\n"
    "                     notice=MSG,WPARAM,LPARAM, screenshot=FILE.png, config,\n"
    "                     fault (instrumented DLL: a null write in the next frame),\n"
    "                     paint (instrumented DLL: render as the paint message does),\n"
    "                     ui=... (the visualization window; see ui_actions.h)\n"
    "                     fs=... (full screen, see fullscreen_actions.h)\n"
    "  --cycles N         run Init, the render phase and Quit N times (default 1)\n"
    "  --watch-pixels     log a hash of the plug-in window's pixels after each Render\n"
    "  --screenshot FILE  PNG of the frame window at the end of the render phase\n"
    "  --log FILE         JSON-lines log (default: standard output)\n"
    "  --watchdog MS      end the run with exit code 6 after this long\n"
    "exit codes: 0 ok, 2 usage, 3 load failed, 4 bad records, 5 Init failed,\n"
    "            6 watchdog, 7 no host windows, 8 crashed, 9 log not writable\n";

bool ParseNumber(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = strtoll(text.c_str(), &end, 0);
  return errno == 0 && *end == '\0';
}

bool ParseMs(const std::string& text, uint32_t& ms) {
  long long value = 0;
  if (!ParseNumber(text, value) || value < 0 || value > 3600000) return false;
  ms = static_cast<uint32_t>(value);
  return true;
}

bool ParseAction(const std::string& text, TimedAction& action) {
  size_t colon = text.find(':');
  if (colon == std::string::npos || !ParseMs(text.substr(0, colon), action.atMs)) return false;
  std::string rest = text.substr(colon + 1);
  size_t equals = rest.find('=');
  action.verb = rest.substr(0, equals);
  action.argument = equals == std::string::npos ? "" : rest.substr(equals + 1);
  static const char* const kVerbs[] = {"track",      "track-user", "stop",  "play",  "notice",
                                       "screenshot", "config",     "fault", "paint", "ui",
                                       "fs"};
  return std::any_of(std::begin(kVerbs), std::end(kVerbs),
                     [&](const char* verb) { return action.verb == verb; });
}

}  // namespace

const char* UsageText() {
  return kUsage;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h") {
      error = "help";
      return false;
    } else if (arg == "--scenario") {
      if (!value(options.scenario)) return false;
      static const char* const kScenarios[] = {"records", "init", "render", "play", "config"};
      if (std::none_of(std::begin(kScenarios), std::end(kScenarios),
                       [&](const char* s) { return options.scenario == s; })) {
        error = "unknown scenario " + options.scenario;
        return false;
      }
    } else if (arg == "--signal") {
      if (!value(options.signal)) return false;
      if (options.signal != "silence" && options.signal != "tone" && options.signal != "beats" &&
          options.signal != "mix") {
        error = "unknown signal " + options.signal;
        return false;
      }
    } else if (arg == "--duration" || arg == "--watchdog") {
      if (!value(text)) return false;
      if (!ParseMs(text, arg == "--duration" ? options.durationMs : options.watchdogMs)) {
        error = "bad milliseconds for " + arg + ": " + text;
        return false;
      }
    } else if (arg == "--answer") {
      if (!value(text)) return false;
      size_t equals = text.find('=');
      long long ipc = 0, answer = 0;
      if (equals == std::string::npos || !ParseNumber(text.substr(0, equals), ipc) ||
          !ParseNumber(text.substr(equals + 1), answer)) {
        error = "bad answer " + text + " (want IPC=VALUE)";
        return false;
      }
      options.answers[static_cast<int>(ipc)] = answer;
    } else if (arg == "--at") {
      if (!value(text)) return false;
      TimedAction action;
      if (!ParseAction(text, action)) {
        error = "bad action " + text + " (want MS:VERB[=ARG])";
        return false;
      }
      options.actions.push_back(action);
    } else if (arg == "--cycles") {
      long long cycles = 0;
      if (!value(text)) return false;
      if (!ParseNumber(text, cycles) || cycles < 1 || cycles > 1000) {
        error = "bad cycle count " + text;
        return false;
      }
      options.cycles = static_cast<int>(cycles);
    } else if (arg == "--watch-pixels") {
      options.watchPixels = true;
    } else if (arg == "--title") {
      if (!value(options.title)) return false;
    } else if (arg == "--log") {
      if (!value(options.logPath)) return false;
    } else if (arg == "--screenshot") {
      if (!value(options.screenshotPath)) return false;
    } else if (!arg.empty() && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (options.dllPath.empty()) {
      options.dllPath = arg;
    } else {
      error = "more than one DLL given";
      return false;
    }
  }
  if (options.dllPath.empty()) {
    error = "no DLL given";
    return false;
  }
  if (options.scenario == "play" && options.actions.empty()) {
    // A track change, a stop and a restart, spread over the render phase.
    uint32_t d = options.durationMs;
    options.actions = {{d / 3, "track", "1"},
                       {d / 2, "track-user", "2"},
                       {d * 2 / 3, "stop", ""},
                       {d * 5 / 6, "play", ""}};
  }
  std::stable_sort(options.actions.begin(), options.actions.end(),
                   [](const TimedAction& a, const TimedAction& b) { return a.atMs < b.atMs; });
  if (options.watchdogMs == 0) options.watchdogMs = (options.durationMs + 15000) * options.cycles;
  return true;
}

}  // namespace standin
