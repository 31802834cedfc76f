#include "standin/player_host.h"

#include <atomic>
#include <string>

#include "standin/json_log.h"

namespace standin {
namespace {

// What the watched window's own procedure returns for a notice, so the log shows whether a
// replacement procedure passed the result on.
constexpr LRESULT kWatchedResult = 0x5a5a;

const char kHostClass[] = "VevirurStandinHost";
const char kWatchedClass[] = "VevirurStandinWatched";
const char kFrameClass[] = "VevirurStandinFrame";

std::atomic<HWND> hostWindow{nullptr};
std::atomic<HWND> watchedWindow{nullptr};
std::atomic<HWND> frameWindow{nullptr};
std::atomic<HWND> visWindow{nullptr};  // the last window registered by IPC 611
HINSTANCE hostInstance = nullptr;
DWORD hostThread = 0;
const Options* hostOptions = nullptr;
int playing = 1;
int playlistPosition = 0;
char titleText[8192];

HWND EmbedWindow(HostFrameRecord* record);

// The default answer of the player to a request, before any --answer override.
LONG_PTR DefaultAnswer(WPARAM wParam, LPARAM ipc, bool& known) {
  known = true;
  switch (ipc) {
    case kIpcGetVersion:
      return 0x5066;  // a player version well above kRequiredPlayerVersion
    case kIpcIsPlaying:
      return playing;
    case kIpcGetPlaylistPosition:
      return playlistPosition;
    case kIpcGetPlaylistTitle:
      return reinterpret_cast<LONG_PTR>(titleText);
    case kIpcGetWindow:
      return reinterpret_cast<LONG_PTR>(watchedWindow.load());
    case kIpcIsPlayingVideo:
      return 0;  // no video playing
    case kIpcGetEmbedFunction:
      return reinterpret_cast<LONG_PTR>(&EmbedWindow);
    case kIpcSetVisWindow:
    case kIpcVisCommand:
    case kIpcFullScreenNotice:
      return 0;
    default:
      known = false;
      return 0;
  }
}

LRESULT AnswerRequest(WPARAM wParam, LPARAM ipc) {
  bool known = false;
  LONG_PTR answer = DefaultAnswer(wParam, ipc, known);
  auto fixed = hostOptions->answers.find(static_cast<int>(ipc));
  if (fixed != hostOptions->answers.end()) answer = static_cast<LONG_PTR>(fixed->second);
  JsonLine line("request");
  line.Int("ipc", static_cast<long long>(ipc)).Int("wparam", static_cast<long long>(wParam));
  if (ipc == kIpcSetVisWindow && wParam != 0) visWindow = reinterpret_cast<HWND>(wParam);
  if (ipc == kIpcSetVisWindow) line.Text("window", DescribeWindow(reinterpret_cast<HWND>(wParam)));
  if (ipc == kIpcGetPlaylistTitle && answer == reinterpret_cast<LONG_PTR>(titleText))
    line.Text("title", titleText);
  line.Hex("answer", static_cast<unsigned long long>(answer)).Bool("known", known);
  line.Text("thread", GetCurrentThreadId() == hostThread ? "host" : "other");
  Log().Write(line);
  return answer;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_USER:
      return AnswerRequest(wParam, lParam);
    case WM_COMMAND:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      // Commands and keys the plug-in passes on to the player.
      Log().Write(JsonLine("host_message")
                      .Int("message", message)
                      .Int("wparam", static_cast<long long>(wParam))
                      .Hex("lparam", static_cast<unsigned long long>(lParam)));
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK WatchedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER || message == kTrackNoticeMessage) {
    Log().Write(JsonLine("watched_message")
                    .Int("message", message)
                    .Int("wparam", static_cast<long long>(wParam))
                    .Hex("lparam", static_cast<unsigned long long>(lParam)));
    return kWatchedResult;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    Log().Write(JsonLine("frame_destroyed"));
    frameWindow = nullptr;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The player's embed-window function: a frame window placed where the record asks, its
// handle stored in the record's first field and returned.
HWND EmbedWindow(HostFrameRecord* record) {
  if (!record) {
    Log().Write(JsonLine("embed_window").Bool("record", false));
    return nullptr;
  }
  RECT r = record->rect;
  char rect[96];
  snprintf(rect, sizeof rect, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
  Log().Write(JsonLine("embed_window")
                  .Bool("record", true)
                  .Int("flags", record->flags)
                  .Raw("rect", rect)
                  .Bool("user_null", record->user == nullptr));
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) width = 320, height = 240;
  RECT outer = {0, 0, width, height};
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRect(&outer, style, FALSE);
  HWND frame =
      CreateWindowExA(0, kFrameClass, "", style, r.left, r.top, outer.right - outer.left,
                      outer.bottom - outer.top, hostWindow, nullptr, hostInstance, nullptr);
  frameWindow = frame;
  record->frame = frame;
  return frame;
}

bool RegisterClass(const char* name, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = hostInstance;
  windowClass.lpszClassName = name;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  return RegisterClassA(&windowClass) != 0;
}

}  // namespace

bool CreatePlayerWindows(HINSTANCE instance, const Options& options) {
  hostInstance = instance;
  hostOptions = &options;
  hostThread = GetCurrentThreadId();
  lstrcpynA(titleText, options.title.c_str(), sizeof titleText);
  if (!RegisterClass(kHostClass, HostProc) || !RegisterClass(kWatchedClass, WatchedProc) ||
      !RegisterClass(kFrameClass, FrameProc)) {
    return false;
  }
  hostWindow = CreateWindowExA(0, kHostClass, "Player stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               0, 0, 275, 116, nullptr, nullptr, instance, nullptr);
  watchedWindow = CreateWindowExA(0, kWatchedClass, "Watched", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                  nullptr, instance, nullptr);
  return hostWindow && watchedWindow;
}

void DestroyPlayerWindows() {
  if (HWND frame = frameWindow.load()) DestroyWindow(frame);
  // Put our own procedure back if the plug-in left its replacement behind, so that no call
  // goes into an unloaded DLL.
  if (HWND watched = watchedWindow.load()) {
    SetWindowLongPtrA(watched, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedProc));
    DestroyWindow(watched);
  }
  if (HWND host = hostWindow.load()) DestroyWindow(host);
  watchedWindow = nullptr;
  hostWindow = nullptr;
}

HWND HostMainWindow() {
  return hostWindow;
}
HWND WatchedWindow() {
  return watchedWindow;
}
HWND FrameWindow() {
  return frameWindow;
}
HWND RegisteredVisWindow() {
  return visWindow;
}

void SetHostPlaying(bool isPlaying) {
  playing = isPlaying ? 1 : 0;
}
void SetPlaylistPosition(int position) {
  playlistPosition = position;
}

bool WatchedProcedureIsOurs() {
  return GetWindowLongPtrA(watchedWindow, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WatchedProc);
}

std::string DescribeWindow(HWND window) {
  if (!window) return "null";
  if (window == hostWindow) return "host";
  if (window == watchedWindow) return "watched";
  HWND frame = frameWindow;
  if (frame && window == frame) return "frame";
  if (!IsWindow(window)) return "gone";
  if (frame && GetParent(window) == frame) return "frame-child";
  char name[64];
  snprintf(name, sizeof name, "other:0x%llx",
           static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return name;
}

}  // namespace standin
