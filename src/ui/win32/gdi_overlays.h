#pragma once
// The text overlays and the about screen painted with GDI on a device context: the drawing
// surface's own, the window's, or the full-screen back buffer's.
#include <windows.h>

void DrawTitleOverlay(HDC dc, const RECT& picture);
void DrawMessageOverlay(HDC dc, const RECT& picture);
// Fills `picture` with black first when `clear` is set. In full screen while not playing it
// paints on the back buffer instead of dc and shows it.
void DrawAboutScreen(HDC dc, HINSTANCE instance, const RECT& picture, int clear);
void DrawHelpPage(HDC dc);
// The extent of the about screen's third line on dc (the link area of the window).
SIZE MeasureAboutLink(HDC dc);
