// Placeholder until the GDI overlays land.
#include "ui/win32/gdi_overlays.h"

void DrawTitleOverlay(HDC, const RECT&) {}
void DrawMessageOverlay(HDC, const RECT&) {}
void DrawAboutScreen(HDC dc, HINSTANCE, const RECT& picture, int clear) {
  if (clear) FillRect(dc, &picture, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}
void DrawHelpPage(HDC) {}
SIZE MeasureAboutLink(HDC) { return SIZE{0, 0}; }
