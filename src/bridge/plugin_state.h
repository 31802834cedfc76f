#pragma once
// The plug-in's window-level state that the host entries, the window procedure, the overlays
// and the full-screen output all read: one record, one reset. The host thread writes most of
// it; IsPlaying is also written by the notice handler on the player's window thread.
#include <windows.h>

#include <atomic>

#include "bridge/player_protocol.h"

struct PluginState {
  std::atomic<int> IsPlaying{0};              // the player plays (IPC 104 answered 1)
  std::atomic<int> FullScreenActive{0};       // the full-screen display is open, frames go to it
  std::atomic<int> LeaveFullScreenPending{0};  // a return to the window is due at the next Render
  winampVisModule* Module = nullptr;          // the module record; its hwndParent is the player
  HINSTANCE Instance = nullptr;               // this library, for its resources
  HWND VisWindow = nullptr;                   // the visualization window, while it exists
  SIZE AboutLinkExtent = {0, 0};  // extent of the about screen's third line, measured at Init
};

extern PluginState Plugin;

// Puts every field back to its value at load.
void ResetPluginState();

// The player's main window (the module's hwndParent), or null before Init.
HWND HostMainWindow();

// Sends one request to the player's main window; 0 when there is no player yet.
LRESULT AskHost(int ipc, WPARAM wParam = 0);
