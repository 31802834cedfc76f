// Placeholder until the window procedure lands.
#include "ui/win32/vis_window.h"

LRESULT CALLBACK VisWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}
void NextEffect() {}
void PreviousEffect() {}
void ToggleEffectLock() {}
void ToggleHelp() {}
void ToggleTitle() {}
void GoFullScreen() {}
void LeaveFullScreen() {}
void OpenWebSite() {}
void ShowPopupMenu() {}
void ResetVisWindowState() {}
