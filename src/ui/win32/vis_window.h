#pragma once
// The visualization window's procedure and the command operations that its keys, the
// player's commands, the popup menu and the full-screen window share.
#include <windows.h>

inline constexpr const char* kVisWindowClassName = "Vevirur_2_for_Winamp_5";

LRESULT CALLBACK VisWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void NextEffect();      // while playing: a new drawing
void PreviousEffect();  // while playing: a new drawing
void ToggleEffectLock();
void ToggleHelp();
void ToggleTitle();
void GoFullScreen();
void LeaveFullScreen();
void OpenWebSite();
void ShowPopupMenu();

// Puts the window layer's own state (click flags, last site opening) back to load.
void ResetVisWindowState();
