#pragma once
// Showing one frame, on the player's thread: the about screen, or the draw thread's finished
// picture followed by the hand-over of the player's audio.
#include <windows.h>

#include "bridge/player_protocol.h"

// Settles whether the player plays, then starts or resumes the draw thread, or shows the
// finished frame on dc (null: the full-screen display) and hands over the module's audio.
// fromPaint 1 for the window's paint message, which always shows the about screen. Returns 0,
// or 0x80004005 when the draw thread cannot be started.
int RenderFrame(winampVisModule* module, HDC dc, int fromPaint);
