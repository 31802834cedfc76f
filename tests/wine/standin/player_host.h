#pragma once
// The player's side of the plug-in interface: the host main window that answers WM_USER
// requests, the watched window that receives the play-state and track notices, and the
// embed-window function that makes the frame window the plug-in draws in.
#include <windows.h>

#include <string>

#include "bridge/player_protocol.h"
#include "standin/options.h"

namespace standin {

bool CreatePlayerWindows(HINSTANCE instance, const Options& options);
void DestroyPlayerWindows();

HWND HostMainWindow();
HWND WatchedWindow();
HWND FrameWindow();  // null until the plug-in asked for one
// The window the plug-in last registered with IPC 611 (kept after it unregisters).
HWND RegisteredVisWindow();

// What IPC 104 answers, and IPC 125, unless fixed by --answer.
void SetHostPlaying(bool playing);
void SetPlaylistPosition(int position);

// Whether the watched window still runs its own procedure (the plug-in replaces it at Init
// and is to put it back at Quit).
bool WatchedProcedureIsOurs();

// A readable name for a window handle in the log: host, watched, frame, frame-child, ...
std::string DescribeWindow(HWND window);

}  // namespace standin
