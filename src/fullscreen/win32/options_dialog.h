#pragma once
// The options dialog (resource 108): display adapter, full-screen mode and the monitor rule.
#include <windows.h>

// The open dialog, or null.
HWND OptionsDialogWindow();
// Runs the dialog modally, owned by `owner`; returns when it is closed.
void RunOptionsDialog(HINSTANCE instance, HWND owner);
