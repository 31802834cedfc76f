#pragma once
// The overlays' TextPainter on a GDI device context: the context's default font, TextOutA,
// and the logo bitmap from the library's resources.
#include <windows.h>

#include "ui/text_painter.h"

inline constexpr int kLogoBitmapNumber = 202;

class GdiTextPainter : public TextPainter {
 public:
  GdiTextPainter(HDC dc, HINSTANCE instance) : dc_(dc), instance_(instance) {}
  TextExtent MeasureText(const char* text) override;
  void DrawText(int x, int y, const char* text, TextColour colour,
                const TextColour* background) override;
  void FillBlack(const PictureRect& rect) override;
  void DrawLogo(int x, int y) override;

 private:
  HDC dc_;
  HINSTANCE instance_;
};
