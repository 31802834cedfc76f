#pragma once
// The overlays' OverlayPainter on a GDI device context: the context's default font, TextOutA,
// and the logo bitmap from the library's resources.
#include <windows.h>

#include "ui/overlay_painter.h"

inline constexpr int kLogoBitmapNumber = 202;

class GdiOverlayPainter : public OverlayPainter {
 public:
  GdiOverlayPainter(HDC dc, HINSTANCE instance) : dc_(dc), instance_(instance) {}
  OverlayExtent MeasureText(const char* text) override;
  void DrawText(int x, int y, const char* text, OverlayColour colour,
                const OverlayColour* background) override;
  void FillBlack(const PictureRect& rect) override;
  void DrawLogo(int x, int y) override;

 private:
  HDC dc_;
  HINSTANCE instance_;
};
