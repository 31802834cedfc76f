#pragma once
// The player's side of the plug-in interface: the host main window that answers WM_USER
// requests, the watched window that receives the play-state and track notices, and the
// embed-window function that makes the frame window the plug-in draws in.
#include <windows.h>

#include <string>

#include "standin/options.h"

namespace standin {

// The record the embed-window function takes, fields in the player's order.
struct HostFrameRecord {
  HWND frame;  // written by the player
  int flags;
  RECT rect;  // where the player is to place the frame
  void* user;
  int reserved[64];
};

bool CreatePlayerWindows(HINSTANCE instance, const Options& options);
void DestroyPlayerWindows();

HWND HostMainWindow();
HWND WatchedWindow();
HWND FrameWindow();  // null until the plug-in asked for one

// What IPC 104 answers, and IPC 125, unless fixed by --answer.
void SetHostPlaying(bool playing);
void SetPlaylistPosition(int position);

// Whether the watched window still runs its own procedure (the plug-in replaces it at Init
// and is to put it back at Quit).
bool WatchedProcedureIsOurs();

// A readable name for a window handle in the log: host, watched, frame, frame-child, ...
std::string DescribeWindow(HWND window);

}  // namespace standin
