#pragma once
// The visualization window's procedure and the command operations that its keys, the
// player's commands, the popup menu and the full-screen window share.
#include <windows.h>

#include "ui/overlay_commands.h"

inline constexpr const char* kVisWindowClassName = "Vevirur_2_for_Winamp_5";

LRESULT CALLBACK VisWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void NextEffect();      // while playing: a new drawing
void PreviousEffect();  // while playing: a new drawing
// Unless already in full screen or a video plays (then a message box says so): tells the
// player (IPC 631, 1) and switches to full screen.
void GoFullScreen();
// Back to the window: at once when the player does not play, else at the next Render.
void LeaveFullScreen();
void OpenWebSite();
// The context menu at the mouse position (popup_menu.cpp).
void ShowPopupMenu();

// Puts the window layer's own state (click flags, last site opening) back to load. The popup
// menu, once made, is kept for the library's life.
void ResetVisWindowState();
