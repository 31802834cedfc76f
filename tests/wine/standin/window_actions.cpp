// The actions on the plug-in's windows during the render phase.
//   ui=send:MSG,WPARAM,LPARAM  to the visualization window; logs the result, the cursor after
//                              a mouse move and the instrumented DLL's counters
//   ui=menu:dismiss            a right click; logs the popup menu's items, then Esc
//   ui=menu:choose=ID          the same, then chooses the entry ID
//   ui=pixels                  two more Renders (so that what was asked for shows even when the
//                              run lags), then counts the overlay colours in the window's regions
//   ui=settings:clear|check    deletes / looks for the settings file beside the plug-in
//   fs=vis:MSG,WPARAM,LPARAM   to the visualization window, then logs the full-screen state
//   fs=key:MSG,WPARAM,LPARAM   to the full-screen window, the same
//   fs=render                  one Render now, with the state and the window's pixel hash
//   fs=state                   the full-screen window's size and title, and the screen's size
//   fs=shot=FILE.bmp           a picture of the whole screen
#include <cstdlib>

#include "fullscreen/win32/full_screen.h"
#include "settings/settings_file.h"
#include "standin/standin.h"

namespace standin {
namespace {

// The popup menu is tracked by the window procedure on the host thread; a second thread reads
// it and answers with keys.
struct MenuJob {
  int chooseId;  // 0: dismiss with Esc
  DWORD thread;
};

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM data) {
  auto* job = reinterpret_cast<MenuJob*>(data);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32768" || !IsWindowVisible(window) ||
      GetWindowThreadProcessId(window, nullptr) != job->thread)
    return TRUE;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1, 0, 0));  // MN_GETHMENU
  std::string items = "[";
  int downs = 0, chosen = -1;
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    char text[256] = "";
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = sizeof text;
    GetMenuItemInfoA(menu, position, TRUE, &item);
    const bool separator = item.fType & MFT_SEPARATOR;
    if (!separator && chosen < 0) ++downs;
    if (!separator && static_cast<int>(item.wID) == job->chooseId) chosen = position;
    items += Format(R"(%s{"text":%s,"id":%u,"separator":%s,"grey":%s,"checked":%s})",
                    position ? "," : "", Line::Quote(text).c_str(), item.wID, Json(separator),
                    Json(item.fState & MFS_GRAYED), Json(item.fState & MFS_CHECKED));
  }
  Line("menu").Add(R"("found":true,"items":)" + items + "]");
  const auto press = [window](WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
  };
  for (int i = 0; chosen >= 0 && i < downs; ++i) press(VK_DOWN);
  press(chosen >= 0 ? VK_RETURN : VK_ESCAPE);
  job->chooseId = -1;  // found
  return FALSE;
}

DWORD WINAPI AnswerMenu(void* data) {
  auto* job = static_cast<MenuJob*>(data);
  for (int tries = 0; tries < 250 && job->chooseId >= 0; ++tries, Sleep(20))
    EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(job));
  if (job->chooseId >= 0) Line("menu").Add(R"("found":false)");
  if (job->chooseId >= 0) EndMenu();
  return 0;
}

// White, red, grey and lit pixels in the regions of the overlays: the title at the bottom
// left, the message at the bottom right, the help page's lines under the about lines, the logo.
void CountPixels(HWND window) {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  Line line("pixels");
  line.Add(Format(R"("ok":%s)", Json(CopyWindowPixels(window, false, width, height, pixels))));
  const struct {
    const char* name;
    int left, top, right, bottom;
  } regions[] = {{"title", 15, height - 20, width / 2, height},
                 {"message", width / 2, height - 20, width, height},
                 {"help", 20, 125, width, 320},
                 {"about", 85, 25, width, 80},
                 {"logo", 25, 30, 73, 78}};
  for (const auto& r : regions) {
    int white = 0, red = 0, grey = 0, lit = 0;
    for (int y = r.top; y < r.bottom && y < height && !pixels.empty(); ++y) {
      for (int x = r.left; x < r.right && x < width; ++x) {
        const uint32_t p = pixels[y * width + x];
        const int R = (p >> 16) & 255, G = (p >> 8) & 255, B = p & 255;
        white += R > 240 && G > 240 && B > 240;
        red += R > 200 && G < 60 && B < 60;
        grey += R > 100 && R < 156 && G > 100 && G < 156 && B > 100 && B < 156;
        lit += R + G + B > 60;
      }
    }
    line.Add(
        Format(R"("%s":{"white":%d,"red":%d,"grey":%d,"lit":%d})", r.name, white, red, grey, lit));
  }
}

void LogFullScreen(Line& line) {
  HWND window = FindWindowA(kFullScreenClassName, nullptr);
  RECT rect{};
  char title[256] = "";
  if (window) GetWindowRect(window, &rect);
  if (window) GetWindowTextA(window, title, sizeof title);
  line.Text("title", title)
      .Add(Format(R"("window":%s,"width":%ld,"height":%ld,"screen_width":%d,"screen_height":%d)",
                  Json(window), rect.right - rect.left, rect.bottom - rect.top,
                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
}

}  // namespace

LRESULT SendNumbers(HWND window, const std::string& numbers, Line& line) {
  char* end = nullptr;
  const UINT message = strtoul(numbers.c_str(), &end, 0);
  const WPARAM wParam = *end == ',' ? strtoull(end + 1, &end, 0) : 0;
  const LPARAM lParam = *end == ',' ? strtoll(end + 1, &end, 0) : 0;
  const LRESULT result = window ? SendMessageA(window, message, wParam, lParam) : 0;
  line.Add(Format(R"("message":%u,"wparam":%llu,"lparam":"0x%llx","result":"0x%llx")", message,
                  wParam, lParam, result));
  return result;
}

void RunUiAction(const std::string& argument, winampVisModule* module) {
  const HWND vis = player.vis;
  if (argument.rfind("send:", 0) == 0 && IsWindow(vis)) {
    Line line("ui_send");  // its time is the sending's
    SendNumbers(vis, argument.substr(5), line);
    const HCURSOR cursor = GetCursor();  // after a mouse move: the one the plug-in set
    line.Text("cursor", cursor == LoadCursor(nullptr, IDC_HAND)    ? "hand"
                        : cursor == LoadCursor(nullptr, IDC_ARROW) ? "arrow"
                                                                   : "other");
    AddCounters(line);
  } else if (argument.rfind("menu:", 0) == 0 && IsWindow(vis)) {
    MenuJob job{argument.rfind("menu:choose=", 0) == 0 ? atoi(argument.c_str() + 12) : 0,
                GetCurrentThreadId()};
    HANDLE answerer = CreateThread(nullptr, 0, AnswerMenu, &job, 0, nullptr);
    SendMessageA(vis, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 40));  // tracks the menu
    WaitForSingleObject(answerer, 10000);
    CloseHandle(answerer);
  } else if (argument == "pixels" && IsWindow(vis)) {
    for (int i = 0; i < 2; ++i, Sleep(25)) module->Render(module);
    CountPixels(vis);
  } else if (argument.rfind("settings:", 0) == 0) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module->hDllInstance, path, MAX_PATH);
    std::string file = path;
    file.replace(file.find_last_of("\\/") + 1, std::string::npos, kSettingsFileName);
    if (argument == "settings:clear") DeleteFileA(file.c_str());
    Line("settings_file")
        .Text("action", argument.substr(9))
        .Add(Format(R"("exists":%s)",
                    Json(GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES)));
  } else {
    Line("ui").Text("action", argument).Add(Format(R"("window":%s)", Json(IsWindow(vis))));
  }
}

void RunFullScreenAction(const std::string& argument, winampVisModule* module) {
  Line line("fs");
  line.Text("action", argument);
  if (argument.rfind("vis:", 0) == 0 || argument.rfind("key:", 0) == 0) {
    SendNumbers(argument[0] == 'v' ? player.vis.load() : FindWindowA(kFullScreenClassName, nullptr),
                argument.substr(4), line);
  } else if (argument == "render") {
    line.Add(Format(R"("result":"0x%x")", module->Render(module)));
    AddPixels(line, player.vis);
  } else if (argument.rfind("shot=", 0) == 0) {
    Line shot("fs_shot");
    SaveWindowBmp(shot, GetDesktopWindow(), argument.substr(5));
  }
  LogFullScreen(line);
}

}  // namespace standin
