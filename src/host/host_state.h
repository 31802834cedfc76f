#pragma once
// What the host entries keep between the player's calls: the frame window record handed to the
// player, the watched window's own procedure, the playlist position. One record, one reset.
#include <windows.h>

#include <atomic>

#include "bridge/player_protocol.h"

inline constexpr int kLogoBitmapId = 202;

struct HostState {
  HostFrameRecord FrameRecord{};               // the player writes the frame window into it
  WNDPROC PreviousWatchedProcedure = nullptr;  // put back by Quit
  std::atomic<int> PlaylistPosition{-1};       // also written by the notice handler
  int LogoBitmap = 0;                          // the about screen's logo resource
};

extern HostState Host;

// Puts every field back to its value at load.
void ResetHostState();

// The replacement procedure of the player's watched window: hears the play-state and track
// notices, then passes every message on to the window's own procedure.
LRESULT CALLBACK HostNoticeHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the title of the current playlist position, shows it and asks for a new effect.
void RefreshTitle();

void SetPlaying(int playing);
