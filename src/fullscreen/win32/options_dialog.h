#pragma once
// The options dialog (resource 108): display adapter, full-screen mode and the monitor rule.
// While it is open DisplayDeviceList is a working copy; OK keeps the copy and writes the
// settings file, Cancel puts the list from before back.
#include <windows.h>

inline constexpr int kOptionsDialogResource = 108;
inline constexpr int kWebSiteButton = 3;
inline constexpr int kMonitorRuleCheckBox = 1000;
inline constexpr int kMonitorRuleHelpButton = 1001;

inline constexpr const char* kModesErrorText = "Error enumerating DirectDraw modes.";
inline constexpr const char* kModesErrorCaption = "Vevirur 2 Options";
inline constexpr const char* kMonitorRuleCaption = "Vevirur 2";
inline constexpr const char* kMonitorRuleText =
    "When your system has more then one monitor you can configure how Vevirur' full screen mode "
    "will work. If \"Use window's monitor\" checkbox is checked, then for fullscreen mode Vevirur "
    "will use that monitor, where Vevirur' window is currently placed. Otherwice, if checkbox is "
    "not checked, Vevirur will use the device that is selected in Display Adapter's combobox";

// The open dialog, or null.
HWND OptionsDialogWindow();
// Runs the dialog modally, owned by `owner`; returns when it is closed. `instance` is the
// library holding the template and the one whose settings file OK writes.
void RunOptionsDialog(HINSTANCE instance, HWND owner);

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// How the Website button opens the maker's site (ShellExecuteA's signature); tests replace it.
// Null restores ShellExecuteA.
using SiteOpener = HINSTANCE(WINAPI*)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                      LPCSTR directory, INT show);
void SetSiteOpener(SiteOpener open);

// Puts the dialog's state back to load (no dialog, nothing set aside).
void ResetOptionsDialogState();
