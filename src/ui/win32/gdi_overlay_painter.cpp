#include "ui/win32/gdi_overlay_painter.h"

#include <cstring>

namespace {
COLORREF ColourRef(OverlayColour c) {
  return RGB(c.red, c.green, c.blue);
}
}  // namespace

OverlayExtent GdiOverlayPainter::MeasureText(const char* text) {
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc_, text, static_cast<int>(std::strlen(text)), &size);
  return {size.cx, size.cy};
}

void GdiOverlayPainter::DrawText(int x, int y, const char* text, OverlayColour colour,
                                 const OverlayColour* background) {
  SetTextColor(dc_, ColourRef(colour));
  SetBkMode(dc_, background ? OPAQUE : TRANSPARENT);
  if (background) SetBkColor(dc_, ColourRef(*background));
  TextOutA(dc_, x, y, text, static_cast<int>(std::strlen(text)));
}

void GdiOverlayPainter::FillBlack(const PictureRect& rect) {
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc_, &r, black);
  DeleteObject(black);
}

void GdiOverlayPainter::DrawLogo(int x, int y) {
  HBITMAP logo = LoadBitmapA(instance_, MAKEINTRESOURCEA(kLogoBitmapNumber));
  HDC memory = CreateCompatibleDC(dc_);
  HGDIOBJ before = SelectObject(memory, logo);
  BitBlt(dc_, x, y, 48, 48, memory, 0, 0, SRCCOPY);
  SelectObject(memory, before);
  DeleteDC(memory);
  DeleteObject(logo);
}
