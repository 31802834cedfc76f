#pragma once
// The full-screen display: its own top-most window, DirectDraw with a flip chain, and the
// gamma ramp the user raises and lowers.
#include <windows.h>

// Enters (1) or leaves (0) full screen. Stops the draw thread first; the next Render starts it.
void SwitchFullScreen(int enter);
// Copies the finished picture to the back buffer, with the overlays, and flips.
int ShowFullScreenFrame(const RECT& picture);
// The back buffer's device context, or null outside full screen or when it cannot be had.
HDC GetBackBufferDC();
// Gives the context back and flips, so what was painted on it is shown.
void ReleaseBackBufferDCAndFlip(HDC dc);
