#include "standin/watchers.h"

#include <windows.h>

#include <atomic>
#include <set>
#include <string>

#include "standin/json_log.h"
#include "standin/options.h"
#include "standin/player_host.h"

namespace standin {
namespace {

constexpr int kMessageBoxTextId = 0xffff;  // the static control that holds a message box's text
std::atomic<int> dialogsSeen{0};

std::string WindowText(HWND window) {
  char text[2048] = "";
  if (window) GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassName(HWND window) {
  char name[128] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      ClassName(window) == "#32770") {
    reinterpret_cast<std::set<HWND>*>(found)->insert(window);
  }
  return TRUE;
}

// Records the dialog and closes it the way a user would: OK on a box that has only OK,
// otherwise Cancel, otherwise the close box.
void RecordAndDismiss(HWND dialog) {
  HWND okButton = GetDlgItem(dialog, IDOK);
  HWND cancelButton = GetDlgItem(dialog, IDCANCEL);
  HWND textControl = GetDlgItem(dialog, kMessageBoxTextId);
  JsonLine line("message_box");
  line.Text("caption", WindowText(dialog))
      .Text("text", WindowText(textControl))
      .Text("owner", DescribeWindow(GetWindow(dialog, GW_OWNER)));
  if (okButton && !cancelButton) {
    line.Text("dismissed_with", "ok");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(okButton));
  } else if (cancelButton) {
    line.Text("dismissed_with", "cancel");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancelButton));
  } else {
    line.Text("dismissed_with", "close");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
  Log().Write(line);
  ++dialogsSeen;
}

DWORD WINAPI WatchDialogs(void*) {
  std::set<HWND> handled;
  for (;;) {
    Sleep(50);
    std::set<HWND> open;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&open));
    for (HWND dialog : open) {
      if (handled.insert(dialog).second) RecordAndDismiss(dialog);
    }
    // A handle may come back for a later dialog once the old one has gone.
    for (auto it = handled.begin(); it != handled.end();) {
      it = open.count(*it) ? std::next(it) : handled.erase(it);
    }
  }
}

DWORD WINAPI Watchdog(void* limit) {
  DWORD limitMs = static_cast<DWORD>(reinterpret_cast<uintptr_t>(limit));
  Sleep(limitMs);
  Log().Write(JsonLine("watchdog").Int("limit_ms", limitMs));
  Log().Write(JsonLine("exit").Int("code", kExitWatchdog));
  Log().Close();
  fprintf(stderr, "vis_host_standin: watchdog: still running after %lu ms\n", limitMs);
  TerminateProcess(GetCurrentProcess(), kExitWatchdog);
  return 0;
}

}  // namespace

void StartDialogWatcher() {
  HANDLE thread = CreateThread(nullptr, 0, WatchDialogs, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

void StartWatchdog(uint32_t limitMs) {
  HANDLE thread = CreateThread(
      nullptr, 0, Watchdog, reinterpret_cast<void*>(static_cast<uintptr_t>(limitMs)), 0, nullptr);
  if (thread) CloseHandle(thread);
}

int DialogsSeen() {
  return dialogsSeen;
}

}  // namespace standin
