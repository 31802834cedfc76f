// The log, the player's windows and answers, and the dialog watcher with the watchdog.
#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>

#include "standin/standin.h"

namespace standin {

Player player;

namespace {

const DWORD startTicks = GetTickCount();
std::mutex logMutex;  // lines come from the host thread and the watcher
FILE* logFile = nullptr;
const Options* options = nullptr;
char titleText[4096];

// What the watched window's own procedure returns for a notice, so the log shows whether a
// replacement procedure passed the result on.
constexpr LRESULT kWatchedResult = 0x5a5a;

// The player's embed-window function: a frame whose client area is the record's rectangle.
HWND EmbedWindow(HostFrameRecord* record) {
  Line("embed_window").Add(Format(R"("flags":%d)", record->flags));
  RECT outer = record->rect;
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRect(&outer, style, FALSE);
  record->frame = CreateWindowExA(0, "StandinFrame", "", style, record->rect.left, record->rect.top,
                                  outer.right - outer.left, outer.bottom - outer.top, player.host,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
  return player.frame = record->frame;
}

std::string MessageFields(UINT message, WPARAM wParam, LPARAM lParam) {
  return Format(R"("message":%u,"wparam":%llu,"lparam":"0x%llx")", message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    std::map<long long, LRESULT> answers = {
        {kIpcGetVersion, 0x5066},
        {kIpcIsPlaying, player.playing},
        {kIpcGetPlaylistPosition, player.position},
        {kIpcGetPlaylistTitle, reinterpret_cast<LRESULT>(titleText)},
        {kIpcGetWindow, reinterpret_cast<LRESULT>(player.watched)},
        {kIpcGetEmbedFunction, reinterpret_cast<LRESULT>(&EmbedWindow)},
        {kIpcIsPlayingVideo, 0},
        {kIpcSetVisWindow, 0},
        {kIpcVisCommand, 0},
        {kIpcFullScreenNotice, 0}};
    Line("request").Add(Format(R"("ipc":%lld,"wparam":%llu,"known":%s)", lParam, wParam,
                               Json(answers.count(lParam))));
    for (const auto& [ipc, answer] : options->answers) answers[ipc] = answer;
    if (lParam == kIpcSetVisWindow && wParam) player.vis = reinterpret_cast<HWND>(wParam);
    return answers[lParam];
  }
  // Keys, commands and the right button the plug-in passes on to the player.
  if (message == WM_COMMAND || message == WM_RBUTTONUP ||
      (message >= WM_KEYFIRST && message <= WM_SYSKEYUP)) {
    Line("host_message").Add(MessageFields(message, wParam, lParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK WatchedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_USER && message != kTrackNoticeMessage)
    return DefWindowProcA(window, message, wParam, lParam);
  Line("watched_message").Add(MessageFields(message, wParam, lParam));
  return kWatchedResult;
}

std::string WindowText(HWND window) {
  char text[2048] = "";
  if (window) GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
  DWORD process = 0;
  char name[16] = "";
  GetWindowThreadProcessId(window, &process);
  GetClassNameA(window, name, sizeof name);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::string(name) == "#32770")
    reinterpret_cast<std::set<HWND>*>(found)->insert(window);
  return TRUE;
}

// Logs each new dialog (a message box's text is its static control 0xffff) and closes it the
// way a user would: Cancel where there is one, else OK.
DWORD WINAPI Watch(void* limit) {
  const DWORD limitMs = static_cast<DWORD>(reinterpret_cast<uintptr_t>(limit));
  std::set<HWND> handled;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < limitMs; Sleep(50)) {
    std::set<HWND> open;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&open));
    for (HWND dialog : open) {
      if (handled.count(dialog)) continue;
      Line("message_box")
          .Text("caption", WindowText(dialog))
          .Text("text", WindowText(GetDlgItem(dialog, 0xffff)))
          .Text("owner", DescribeWindow(GetWindow(dialog, GW_OWNER)));
      const int button = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK;
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    }
    handled = open;  // a handle may come back for a later dialog
  }
  Line("watchdog").Add(Format(R"("limit_ms":%lu)", limitMs));
  TerminateProcess(GetCurrentProcess(), Finish(kExitWatchdog));
  return 0;
}

HWND CreateStandinWindow(const char* name, WNDPROC procedure, DWORD style, int width, int height) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = name;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&windowClass);
  return width ? CreateWindowExA(0, name, name, style, 0, 0, width, height, nullptr, nullptr,
                                 windowClass.hInstance, nullptr)
               : nullptr;
}

}  // namespace

std::string Format(const char* format, ...) {
  char text[2048];
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

Line::Line(const char* event) {
  body_ = Format(R"({"t":%lu,"event":"%s")", GetTickCount() - startTicks, event);
}

Line::~Line() {
  std::lock_guard<std::mutex> lock(logMutex);
  if (logFile) fprintf(logFile, "%s}\n", body_.c_str());
  if (logFile) fflush(logFile);
}

// Control characters and bytes outside ASCII (the plug-in's texts are single-byte) as \u00XX.
std::string Line::Quote(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c >= 0x20 && c < 0x7f) out += static_cast<char>(c);
    if (c < 0x20 || c >= 0x7f) out += Format("\\u%04x", c);
  }
  return out + "\"";
}

bool OpenLog(const std::string& path) {
  logFile = path == "-" ? stdout : fopen(path.c_str(), "wb");
  return logFile != nullptr;
}

int Finish(int code) {
  Line("exit").Add(Format(R"("code":%d)", code));
  std::lock_guard<std::mutex> lock(logMutex);
  if (logFile && logFile != stdout) fclose(logFile);
  logFile = nullptr;
  return code;
}

bool CreatePlayerWindows(const Options& runOptions) {
  options = &runOptions;
  lstrcpynA(titleText, runOptions.title.c_str(), sizeof titleText);
  CreateStandinWindow("StandinFrame", DefWindowProcA, 0, 0, 0);  // the class only (no width)
  player.host =
      CreateStandinWindow("StandinHost", HostProc, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 275, 116);
  player.watched = CreateStandinWindow("StandinWatched", WatchedProc, WS_OVERLAPPED, 10, 10);
  return player.host && player.watched;
}

void DestroyPlayerWindows() {
  if (IsWindow(player.frame)) DestroyWindow(player.frame);
  // Our own procedure back in case the plug-in left its replacement behind, so that no call
  // goes into the unloaded DLL.
  SetWindowLongPtrA(player.watched, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedProc));
  DestroyWindow(player.watched);
  DestroyWindow(player.host);
}

bool WatchedProcedureIsOurs() {
  return GetWindowLongPtrA(player.watched, GWLP_WNDPROC) ==
         reinterpret_cast<LONG_PTR>(&WatchedProc);
}

std::string DescribeWindow(HWND window) {
  if (!window) return "null";
  return window == player.host ? "host" : window == player.frame ? "frame" : "other";
}

void StartWatcher(uint32_t limitMs) {
  CloseHandle(
      CreateThread(nullptr, 0, Watch, reinterpret_cast<void*>(uintptr_t{limitMs}), 0, nullptr));
}

}  // namespace standin
