// The options dialog on the system's own dialog manager and DirectDraw: template 108 as the
// plug-in carries it, the lists it shows, its buttons, and what OK and Cancel leave behind in
// the adapter list, the settings and the settings file. A second thread works the dialog the
// way a person would while the first runs it modally.
//   options_dialog_check.exe PLUGIN.dll SCREENSHOT.bmp
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include <cstring>
#include <functional>

#include "bridge/plugin_state.h"
#include "fullscreen/display_devices.h"
#include "fullscreen/win32/directdraw_modes.h"
#include "fullscreen/win32/options_dialog.h"
#include "settings/plugin_settings.h"
#include "settings/settings_file.h"
#include "ui/about_texts.h"
#include "win_check.h"

using win_check::Check;

namespace {

// ---- The template, read from the plug-in library itself. -------------------------------------

struct ControlRow {
  WORD classAtom;  // 0x80 button, 0x82 static, 0x85 combo box
  DWORD kind;      // the style bits that tell the kind apart
  DWORD kindMask;
  WORD id;
  const wchar_t* text;
  short x, y, cx, cy;
};

constexpr DWORD kComboKind = CBS_DROPDOWNLIST | WS_VSCROLL;
constexpr DWORD kComboMask = 0x3 | CBS_SORT | WS_VSCROLL;
const ControlRow kTemplate[] = {
    {0x80, BS_PUSHBUTTON, 0xF, 2, L"Cancel", 165, 108, 50, 14},
    {0x80, BS_DEFPUSHBUTTON, 0xF, 1, L"Ok", 229, 108, 50, 14},
    {0x85, kComboKind, kComboMask, 214, L"", 83, 50, 183, 181},
    {0x82, SS_LEFT, 0x1F, 0xFFFF, L"Resolution", 21, 52, 50, 8},
    {0x80, BS_GROUPBOX, 0xF, 0xFFFF, L" Full screen settings ", 12, 9, 270, 89},
    {0x80, BS_PUSHBUTTON, 0xF, 3, L"Website ( more plugins, FAQ )", 21, 108, 133, 14},
    {0x85, kComboKind, kComboMask, 216, L"", 83, 30, 183, 181},
    {0x82, SS_LEFT, 0x1F, 0xFFFF, L"Display Adapter", 21, 31, 50, 8},
    {0x80, BS_AUTOCHECKBOX, 0xF, 1000,
     L"Use window's current monitor for fullscreen (multimonitors only)", 21, 73, 212, 10},
    {0x80, BS_PUSHBUTTON, 0xF, 1001, L"?", 250, 68, 17, 16},
};

struct TemplateReader {
  const BYTE* at;
  WORD Word() {
    WORD value;
    std::memcpy(&value, at, 2);
    at += 2;
    return value;
  }
  DWORD Dword() { return Word() | (DWORD(Word()) << 16); }
  // A name or an ordinal: 0xFFFF then the ordinal, else a zero-ended wide text.
  std::wstring NameOrOrdinal(WORD* ordinal = nullptr) {
    std::wstring text;
    WORD first = Word();
    if (first == 0xFFFF) {
      WORD value = Word();
      if (ordinal) *ordinal = value;
      return text;
    }
    for (WORD c = first; c; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignDword(const BYTE* base) { at += (4 - (at - base) % 4) % 4; }
};

void CheckTemplate(const char* pluginPath) {
  HMODULE plugin = LoadLibraryExA(pluginPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = plugin ? FindResourceA(plugin, MAKEINTRESOURCEA(108), MAKEINTRESOURCEA(5)) : 0;
  Check(found != nullptr, "the plug-in carries dialog 108");
  if (!found) return;
  const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(plugin, found)));
  TemplateReader read{base};
  const DWORD style = read.Dword();
  read.Dword();  // extended style
  const WORD count = read.Word();
  const short x = read.Word(), y = read.Word(), cx = read.Word(), cy = read.Word();
  read.NameOrOrdinal();  // menu
  read.NameOrOrdinal();  // class
  const std::wstring title = read.NameOrOrdinal();
  const WORD points = read.Word();
  const std::wstring font = read.NameOrOrdinal();
  const DWORD wanted =
      DS_MODALFRAME | DS_SYSMODAL | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  Check((style & wanted) == wanted && !(style & (WS_CHILD | WS_THICKFRAME)),
        "dialog: pop-up, caption, system menu, modal frame, system-modal, centred");
  Check(title == L"Zoduro2 Properties" && x == 0 && y == 0 && cx == 297 && cy == 130,
        "dialog: \"Zoduro2 Properties\", 297 x 130");
  Check(points == 8 && font == L"MS Sans Serif", "dialog: MS Sans Serif, 8 points");
  Check(count == std::size(kTemplate), "dialog: ten controls");
  for (size_t i = 0; i < count && i < std::size(kTemplate); ++i) {
    const ControlRow& want = kTemplate[i];
    read.AlignDword(base);
    const DWORD itemStyle = read.Dword();
    read.Dword();
    const short ix = read.Word(), iy = read.Word(), icx = read.Word(), icy = read.Word();
    const WORD id = read.Word();
    WORD atom = 0;
    read.NameOrOrdinal(&atom);
    const std::wstring text = read.NameOrOrdinal();
    read.at += read.Word();  // creation data
    char what[96];
    std::snprintf(what, sizeof(what), "control %zu: id %d, kind, text and place", i + 1,
                  want.id == 0xFFFF ? -1 : want.id);
    Check(atom == want.classAtom && (itemStyle & want.kindMask) == want.kind && id == want.id &&
              text == want.text && ix == want.x && iy == want.y && icx == want.cx &&
              icy == want.cy && (itemStyle & WS_CHILD) && (itemStyle & WS_VISIBLE),
          what);
  }
  FreeLibrary(plugin);
}

// ---- Working the dialog from a second thread. --------------------------------------------------

LRESULT Item(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

std::string ItemText(HWND dialog, int id, int index) {
  char text[256] = "";
  Item(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

// Selects item `index` of combo box `id` as a person would, with its change notice.
void Choose(HWND dialog, int id, int index, bool post = false) {
  Item(dialog, id, CB_SETCURSEL, index);
  WPARAM command = MAKEWPARAM(id, CBN_SELCHANGE);
  LPARAM control = reinterpret_cast<LPARAM>(GetDlgItem(dialog, id));
  if (post) {
    PostMessageA(dialog, WM_COMMAND, command, control);
  } else {
    SendMessageA(dialog, WM_COMMAND, command, control);
  }
}

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM found) {
  char className[32] = "", text[1024] = "";
  GetClassNameA(child, className, sizeof(className));
  GetWindowTextA(child, text, sizeof(text));
  auto* longest = reinterpret_cast<std::string*>(found);
  if (!lstrcmpiA(className, "Static") && std::strlen(text) > longest->size()) *longest = text;
  return TRUE;
}

// Waits for the message box with `caption`, returns its text and closes it with its OK button.
std::string AnswerMessageBox(const char* caption) {
  HWND box = nullptr;
  if (!win_check::WaitFor([&] { return (box = FindWindowA("#32770", caption)) != nullptr; })) {
    return "(no message box \"" + std::string(caption) + "\")";
  }
  std::string text;
  EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  win_check::WaitFor([&] { return !IsWindow(box); });
  return text;
}

// What the screen shows of the dialog once it has stopped changing: the dialog thread paints
// when it is idle and the display shows it some time later, both slow on a loaded machine.
bool CaptureWhenSteady(HWND dialog, int* width, int* height, std::vector<unsigned char>& rgb) {
  std::vector<unsigned char> before;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 15000) {
    Sleep(400);
    if (!win_check::CaptureWindow(dialog, width, height, rgb)) return false;
    if (rgb == before) return true;
    before = rgb;
  }
  return true;
}

struct DialogRun {
  std::function<void(HWND)> script;
};

DWORD WINAPI WorkDialog(void* parameter) {
  auto* run = static_cast<DialogRun*>(parameter);
  HWND dialog = nullptr;
  if (!win_check::WaitFor([&] { return (dialog = OptionsDialogWindow()) != nullptr; })) {
    Check(false, "the dialog opens");
    return 0;
  }
  run->script(dialog);
  // Whatever the script left open is cancelled, so a failing run cannot hang.
  if (!win_check::WaitFor([&] { return !IsWindow(dialog); }, 5000)) {
    Check(false, "the dialog has closed");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  return 0;
}

void RunDialog(HWND owner, std::function<void(HWND)> script) {
  DialogRun run{std::move(script)};
  HANDLE worker = CreateThread(nullptr, 0, WorkDialog, &run, 0, nullptr);
  RunOptionsDialog(GetModuleHandleA(nullptr), owner);
  WaitForSingleObject(worker, 30000);
  CloseHandle(worker);
  Check(OptionsDialogWindow() == nullptr, "the dialog's handle is cleared when it closes");
}

// ---- Settings and devices. ---------------------------------------------------------------------

char settingsPath[MAX_PATH];

int StoredNumber(const char* key) {
  return static_cast<int>(GetPrivateProfileIntA(kSettingsSection, key, -12345, settingsPath));
}

const DeviceGuid kBrokenGuid{0x0BAD0BAD, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

int Count(const DisplayDevice* list) {
  int n = 0;
  for (; list; list = list->next) ++n;
  return n;
}

struct Opened {
  std::string site, verb, parameters, directory;
  HWND owner = nullptr;
  int show = -1;
  int calls = 0;
} opened;

HINSTANCE WINAPI RecordSite(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                            LPCSTR directory, INT show) {
  opened = Opened{file, verb, parameters, directory, owner, show, opened.calls + 1};
  return reinterpret_cast<HINSTANCE>(33);
}

// DirectDraw as the system has it, except that the broken adapter cannot be opened.
HRESULT WINAPI CreateUnlessBroken(GUID* identity, void** object, REFIID interfaceId,
                                  IUnknown* outer) {
  if (identity && std::memcmp(identity, &kBrokenGuid, sizeof(GUID)) == 0)
    return DDERR_NODIRECTDRAWHW;
  return DirectDrawCreateEx(identity, object, interfaceId, outer);
}

void SetMode(DisplayDevice* device, uint32_t width, uint32_t height, uint32_t refresh) {
  device->width = width, device->height = height, device->refreshRate = refresh;
  device->bitsPerPixel = 16;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: options_dialog_check PLUGIN.dll SCREENSHOT.bmp\n");
    return 2;
  }
  CheckTemplate(argv[1]);

  void* self = GetModuleHandleA(nullptr);
  SettingsFilePath(self, settingsPath);
  DeleteFileA(settingsPath);
  HWND owner = win_check::CreateFakePlayer();
  Plugin.VisWindow = owner;
  SetSiteOpener(RecordSite);
  SetDirectDrawCreator(CreateUnlessBroken);

  Check(EnumerateDisplayDevices() == 0 && DisplayDeviceList, "DirectDraw reports an adapter");
  if (!DisplayDeviceList) return 1;
  DeviceEnumerationContext context;
  OnDisplayDevice(&kBrokenGuid, "Broken adapter", "", &context, nullptr);
  DisplayDevice* real = DisplayDeviceList;
  const std::string realName = real->description;
  SetMode(real, 1024, 768, 0);
  PluginSettings.fs_guid = real->guid;
  PluginSettings.fs_current_monitor = 0;

  // Opening lists the adapters with the stored one selected, and its modes with its own
  // chosen mode selected; "?" explains the monitor rule; a broken adapter lists nothing; a
  // resolution chosen, then another adapter, then OK keeps the first adapter's resolution.
  DisplayDevice* before = DisplayDeviceList;
  RunDialog(owner, [&](HWND dialog) {
    Check(Item(dialog, kAdapterList, CB_GETCOUNT) == 2 &&
              ItemText(dialog, kAdapterList, 0) == realName &&
              ItemText(dialog, kAdapterList, 1) == "Broken adapter" &&
              Item(dialog, kAdapterList, CB_GETCURSEL) == 0,
          "adapters listed, the stored one selected");
    Check(Item(dialog, kResolutionList, CB_GETCOUNT) >= 1 &&
              ItemText(dialog, kResolutionList, Item(dialog, kResolutionList, CB_GETCURSEL)) ==
                  "1024x768, 0 Hertz",
          "its modes listed as \"1024x768, 0 Hertz\", its own mode selected");
    Check(Item(dialog, kMonitorRuleCheckBox, BM_GETCHECK) == BST_UNCHECKED,
          "the monitor rule box shows fs_current_monitor 0");
    Check(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, "the dialog is top-most");
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    Check(CaptureWhenSteady(dialog, &width, &height, rgb) &&
              win_check::SaveBmp(argv[2], width, height, rgb),
          "screenshot of the dialog");

    Press(dialog, kMonitorRuleHelpButton);
    Check(AnswerMessageBox(kMonitorRuleCaption) == kMonitorRuleText, "\"?\" shows its text");

    Choose(dialog, kResolutionList, 0);
    Check(PluginSettings.fs_width == 1024 && PluginSettings.fs_height == 768 &&
              PluginSettings.fs_refresh == 0 && PluginSettings.fs_bits == 16,
          "a chosen resolution is the stored mode at once");
    Choose(dialog, kAdapterList, 1, true);
    Check(AnswerMessageBox(kModesErrorCaption) == kModesErrorText,
          "an adapter that cannot be opened: \"Error enumerating DirectDraw modes.\"");
    Check(Item(dialog, kResolutionList, CB_GETCOUNT) == 0, "... and an empty Resolution list");
    Item(dialog, kMonitorRuleCheckBox, BM_SETCHECK, BST_CHECKED);
    Press(dialog, IDOK);
  });
  Check(DisplayDeviceList != before && Count(DisplayDeviceList) == 2,
        "OK keeps the dialog's copy of the adapter list");
  Check(SameGuid(PluginSettings.fs_guid, kBrokenGuid) && PluginSettings.fs_current_monitor == 1,
        "OK stores the selected adapter and the monitor rule");
  Check(PluginSettings.fs_width == 1024 && PluginSettings.fs_height == 768,
        "OK with an empty Resolution list keeps the stored mode");
  Check(StoredNumber("fs_width") == 1024 && StoredNumber("fs_height") == 768 &&
            StoredNumber("fs_refresh") == 0 && StoredNumber("fs_bits") == 16 &&
            StoredNumber("fs_current_monitor") == 1 &&
            StoredNumber("fs_data1") == static_cast<int>(kBrokenGuid.data1),
        "OK writes the fs_* keys");
  Check(StoredNumber("guid_exists_0") == 1324 && StoredNumber("fs_width_0") == 1024 &&
            StoredNumber("fs_refresh_0") == 0 && StoredNumber("guid_exists_1") == 1324 &&
            StoredNumber("fs_width_1") == 640 && StoredNumber("fs_refresh_1") == 60 &&
            StoredNumber("fs_data1_1") == static_cast<int>(kBrokenGuid.data1),
        "OK writes a record per adapter with its own chosen mode");

  // Cancel: the list from before comes back untouched, the file is not written, but a
  // resolution chosen meanwhile stays the stored mode.
  DeleteFileA(settingsPath);
  before = DisplayDeviceList;
  SetMode(before, 640, 480, 60);  // not offered: the first mode is selected
  PluginSettings.fs_guid = before->guid;
  PluginSettings.fs_width = 320;
  RunDialog(owner, [&](HWND dialog) {
    Check(Item(dialog, kResolutionList, CB_GETCURSEL) == 0, "no offered mode matches: the first");
    Choose(dialog, kResolutionList, 0);
    Choose(dialog, kAdapterList, 1, true);
    AnswerMessageBox(kModesErrorCaption);
    Press(dialog, IDCANCEL);
  });
  Check(DisplayDeviceList == before && before->width == 640 && before->refreshRate == 60,
        "Cancel puts the old adapter list back unchanged");
  Check(SameGuid(PluginSettings.fs_guid, before->guid) && PluginSettings.fs_width == 1024,
        "Cancel keeps fs_guid; the resolution chosen stays");
  Check(GetFileAttributesA(settingsPath) == INVALID_FILE_ATTRIBUTES, "Cancel writes nothing");

  // Website: opens the maker's site with VisWindow as owner, then closes as OK does.
  RunDialog(owner, [&](HWND dialog) { Press(dialog, kWebSiteButton); });
  Check(opened.calls == 1 && opened.site == kMakerWebSite && opened.verb == "open" &&
            opened.parameters.empty() && opened.directory.empty() && opened.owner == owner &&
            opened.show == SW_SHOW,
        "Website opens the maker's site");
  Check(StoredNumber("guid_exists_0") == 1324, "... and saves the settings like OK");

  // No adapter at all: empty lists; OK and Cancel neither read an adapter nor touch a list.
  DisplayDevice* all = DisplayDeviceList;
  DisplayDeviceList = nullptr;
  PluginSettings.fs_width = 800;
  const DeviceGuid keptGuid = PluginSettings.fs_guid;
  for (int button : {IDOK, IDCANCEL}) {
    RunDialog(owner, [&](HWND dialog) {
      Check(Item(dialog, kAdapterList, CB_GETCOUNT) == 0 &&
                Item(dialog, kResolutionList, CB_GETCOUNT) == 0,
            "without adapters both lists are empty");
      Press(dialog, button);
    });
    Check(DisplayDeviceList == nullptr && PluginSettings.fs_width == 800 &&
              SameGuid(PluginSettings.fs_guid, keptGuid),
          button == IDOK ? "OK without adapters keeps list, mode and adapter"
                         : "Cancel without adapters keeps the empty list");
  }
  DisplayDeviceList = all;
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  DestroyWindow(owner);
  std::printf("%s\n", win_check::failures ? "FAILED" : "PASSED");
  return win_check::failures ? 1 : 0;
}
