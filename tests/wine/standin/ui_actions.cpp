#include "standin/ui_actions.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "standin/json_log.h"
#include "standin/player_host.h"
#include "standin/plugin_observer.h"

namespace standin {
namespace {

constexpr UINT kMenuGetHandle = 0x01E1;  // MN_GETHMENU

WNDPROC hostProcedure = nullptr;

// Logs what the plug-in posts to the player beyond the keys the host procedure logs itself.
LRESULT CALLBACK HostSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RBUTTONUP) {
    Log().Write(JsonLine("host_message")
                    .Int("message", message)
                    .Int("wparam", static_cast<long long>(wParam))
                    .Hex("lparam", static_cast<unsigned long long>(lParam)));
  }
  return CallWindowProcA(hostProcedure, window, message, wParam, lParam);
}

void SpyOnHost() {
  if (hostProcedure || !HostMainWindow()) return;
  hostProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(HostMainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostSpy)));
}

HWND VisWindow() {
  HWND frame = FrameWindow();
  return frame ? FindWindowExA(frame, nullptr, "Vevirur_2_for_Winamp_5", nullptr) : nullptr;
}

std::vector<long long> Numbers(const std::string& text) {
  std::vector<long long> numbers;
  const char* at = text.c_str();
  while (*at) {
    char* end = nullptr;
    numbers.push_back(strtoll(at, &end, 0));
    if (end == at) break;
    at = *end == ',' ? end + 1 : end;
  }
  return numbers;
}

// ---- the popup menu, answered from a second thread while the host thread tracks it

struct MenuJob {
  int chooseId = 0;  // 0: dismiss with Esc
  DWORD thread = 0;
};

struct MenuSearch {
  DWORD thread;
  HWND found;
};

BOOL CALLBACK CheckMenuWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<MenuSearch*>(data);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32768" && IsWindowVisible(window) &&
      GetWindowThreadProcessId(window, nullptr) == search->thread) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindMenuWindow(DWORD thread) {
  MenuSearch search{thread, nullptr};
  EnumWindows(CheckMenuWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PostKey(HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

DWORD WINAPI AnswerMenu(void* data) {
  auto* job = static_cast<MenuJob*>(data);
  HWND menuWindow = nullptr;
  for (int tries = 0; tries < 250 && !menuWindow; ++tries) {
    Sleep(20);
    menuWindow = FindMenuWindow(job->thread);
  }
  if (!menuWindow) {
    Log().Write(JsonLine("menu").Bool("found", false));
    EndMenu();
    return 0;
  }
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, kMenuGetHandle, 0, 0));
  std::string items = "[";
  int count = GetMenuItemCount(menu);
  int downs = 0, chosenAt = -1;
  for (int position = 0; position < count; ++position) {
    char text[256] = "";
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = sizeof text;
    GetMenuItemInfoA(menu, position, TRUE, &item);
    bool separator = (item.fType & MFT_SEPARATOR) != 0;
    if (!separator && chosenAt < 0) ++downs;
    if (!separator && static_cast<int>(item.wID) == job->chooseId) chosenAt = position;
    items += std::string(position ? "," : "") + "{\"text\":\"" + JsonEscape(text) +
             "\",\"id\":" + std::to_string(item.wID) +
             ",\"separator\":" + (separator ? "true" : "false") +
             ",\"grey\":" + ((item.fState & MFS_GRAYED) ? "true" : "false") +
             ",\"checked\":" + ((item.fState & MFS_CHECKED) ? "true" : "false") + "}";
  }
  items += "]";
  Log().Write(JsonLine("menu").Bool("found", true).Int("count", count).Raw("items", items));
  if (chosenAt >= 0) {
    for (int i = 0; i < downs; ++i) PostKey(menuWindow, VK_DOWN);
    PostKey(menuWindow, VK_RETURN);
  } else {
    PostKey(menuWindow, VK_ESCAPE);
  }
  return 0;
}

void OpenMenu(int chooseId) {
  HWND vis = VisWindow();
  MenuJob job{chooseId, GetCurrentThreadId()};
  HANDLE answerer = CreateThread(nullptr, 0, AnswerMenu, &job, 0, nullptr);
  // The right click: the window procedure tracks the menu until it is answered.
  LRESULT result = SendMessageA(vis, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 40));
  WaitForSingleObject(answerer, 10000);
  CloseHandle(answerer);
  Log().Write(JsonLine("menu_closed").Int("chose", chooseId).Hex("result", result));
}

// ---- the window's pixels

struct Region {
  const char* name;
  int left, top, right, bottom;  // negative: from the right / bottom edge
};

void CountPixels(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) {
    Log().Write(JsonLine("pixels").Bool("ok", false));
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC windowDc = GetDC(window);
  HDC memory = CreateCompatibleDC(windowDc);
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ before = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  const uint32_t* pixels = static_cast<const uint32_t*>(bits);
  // Where each overlay goes: the title at the bottom left, the message at the bottom right,
  // the help page's lines under the about lines.
  const Region regions[] = {{"title", 15, -20, width / 2, height},
                            {"message", width / 2, -20, width, height},
                            {"help", 20, 125, width, 320},
                            {"about", 85, 25, width, 80},
                            {"logo", 25, 30, 73, 78}};
  JsonLine line("pixels");
  line.Bool("ok", bits != nullptr).Int("width", width).Int("height", height);
  for (const Region& r : regions) {
    int top = r.top < 0 ? height + r.top : r.top;
    int white = 0, red = 0, grey = 0, lit = 0;
    for (int y = top; bits && y < r.bottom && y < height; ++y)
      for (int x = r.left; x < r.right && x < width; ++x) {
        uint32_t p = pixels[y * width + x];
        int R = (p >> 16) & 255, G = (p >> 8) & 255, B = p & 255;
        white += R > 240 && G > 240 && B > 240;
        red += R > 200 && G < 60 && B < 60;
        grey += R > 100 && R < 156 && G > 100 && G < 156 && B > 100 && B < 156;
        lit += R + G + B > 60;
      }
    line.Raw(r.name, "{\"white\":" + std::to_string(white) + ",\"red\":" + std::to_string(red) +
                         ",\"grey\":" + std::to_string(grey) + ",\"lit\":" + std::to_string(lit) +
                         "}");
  }
  Log().Write(line);
  SelectObject(memory, before);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, windowDc);
}

std::string SettingsPath(HMODULE dll) {
  char full[MAX_PATH] = "";
  GetModuleFileNameA(dll, full, sizeof full);
  std::string path = full;
  size_t slash = path.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "Vevirur2.ini";
}

}  // namespace

void RunUiAction(const std::string& argument, winampVisModule* module) {
  SpyOnHost();
  HWND vis = VisWindow();
  size_t colon = argument.find(':');
  std::string verb = argument.substr(0, colon);
  std::string rest = colon == std::string::npos ? "" : argument.substr(colon + 1);
  if (!vis && verb != "settings") {
    Log().Write(JsonLine("ui").Text("action", argument).Bool("window", false));
    return;
  }
  if (verb == "send") {
    std::vector<long long> n = Numbers(rest);
    n.resize(3, 0);
    JsonLine line("ui_send");  // its time is the sending's
    LRESULT result = SendMessageA(vis, static_cast<UINT>(n[0]), static_cast<WPARAM>(n[1]),
                                  static_cast<LPARAM>(n[2]));
    line.Int("message", n[0])
        .Int("wparam", n[1])
        .Hex("lparam", static_cast<unsigned long long>(n[2]))
        .Hex("result", static_cast<unsigned long long>(result));
    if (n[0] == WM_MOUSEMOVE) {
      HCURSOR cursor = GetCursor();
      line.Text("cursor", cursor == LoadCursor(nullptr, IDC_HAND)    ? "hand"
                          : cursor == LoadCursor(nullptr, IDC_ARROW) ? "arrow"
                                                                     : "other");
    }
    AddCounters(line);  // the instrumented DLL's change-drawing count and lock
    Log().Write(line);
  } else if (verb == "menu") {
    OpenMenu(rest.rfind("choose=", 0) == 0 ? atoi(rest.c_str() + 7) : 0);
  } else if (verb == "pixels") {
    for (int i = 0; i < 2; ++i) {
      module->Render(module);
      Sleep(25);
    }
    CountPixels(vis);
  } else if (verb == "settings") {
    std::string path = SettingsPath(module->hDllInstance);
    if (rest == "clear") DeleteFileA(path.c_str());
    Log().Write(JsonLine("settings_file")
                    .Text("action", rest)
                    .Bool("exists", GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES));
  } else {
    Log().Write(JsonLine("ui").Text("action", argument).Bool("known", false));
  }
}

}  // namespace standin
