// Placeholder until the options dialog lands.
#include "fullscreen/win32/options_dialog.h"

HWND OptionsDialogWindow() { return nullptr; }
void RunOptionsDialog(HINSTANCE, HWND) {}
