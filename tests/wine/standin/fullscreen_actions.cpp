#include "standin/fullscreen_actions.h"

#include <windows.h>

#include <cstdlib>

#include "standin/json_log.h"
#include "standin/player_host.h"
#include "standin/plugin_observer.h"
#include "standin/screenshot.h"

namespace standin {
namespace {

HWND FullScreenWindow() {
  return FindWindowA("VevirurFullScreenMode7122233435263", nullptr);
}

std::string TitleOf(HWND window) {
  char text[256] = "";
  if (window) GetWindowTextA(window, text, sizeof text);
  return text;
}

void LogState(const std::string& action, HWND target, LRESULT result, bool pixels = false) {
  HWND window = FullScreenWindow();
  RECT rect{};
  if (window) GetWindowRect(window, &rect);
  JsonLine line("fs");
  line.Text("action", action)
      .Bool("target", target != nullptr)
      .Hex("result", static_cast<unsigned long long>(result))
      .Bool("window", window != nullptr)
      .Text("title", TitleOf(window))
      .Int("width", rect.right - rect.left)
      .Int("height", rect.bottom - rect.top)
      .Bool("foreground", window && GetForegroundWindow() == window)
      .Int("screen_width", GetSystemMetrics(SM_CXSCREEN))
      .Int("screen_height", GetSystemMetrics(SM_CYSCREEN));
  if (pixels) AddPixels(line, RegisteredVisWindow());
  Log().Write(line);
}

// "MSG,WPARAM,LPARAM" sent to `target`.
LRESULT Send(HWND target, const std::string& numbers) {
  char* end = nullptr;
  const char* text = numbers.c_str();
  UINT message = static_cast<UINT>(strtoul(text, &end, 0));
  WPARAM wParam = *end == ',' ? static_cast<WPARAM>(strtoull(end + 1, &end, 0)) : 0;
  LPARAM lParam = *end == ',' ? static_cast<LPARAM>(strtoll(end + 1, &end, 0)) : 0;
  return target ? SendMessageA(target, message, wParam, lParam) : 0;
}

}  // namespace

void RunFullScreenAction(const std::string& argument, winampVisModule* module) {
  size_t colon = argument.find(':');
  std::string verb = argument.substr(0, colon);
  std::string rest = colon == std::string::npos ? "" : argument.substr(colon + 1);
  if (verb == "vis" || verb == "key") {
    HWND target = verb == "vis" ? RegisteredVisWindow() : FullScreenWindow();
    LogState(argument, target, Send(target, rest));
  } else if (verb == "render") {
    LogState(argument, nullptr, module->Render(module), true);
  } else if (verb == "state") {
    LogState(argument, nullptr, 0);
  } else if (argument.rfind("shot=", 0) == 0) {
    int width = 0, height = 0;
    bool saved = SaveWindowPng(GetDesktopWindow(), argument.substr(5), width, height);
    Log().Write(JsonLine("fs_shot").Bool("saved", saved).Int("width", width).Int("height", height));
  } else {
    Log().Write(JsonLine("fs").Text("action", argument).Bool("known", false));
  }
}

}  // namespace standin
