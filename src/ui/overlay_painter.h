#pragma once
// What the overlays need from a platform to paint: measure and draw a line of text, fill a
// rectangle with black and put the 48 x 48 logo down. GDI on Windows, the front end's font
// renderer elsewhere.
#include <cstdint>

#include "pipeline/picture_rect.h"

struct OverlayColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

inline constexpr OverlayColour kTextWhite{255, 255, 255};
inline constexpr OverlayColour kTextBlack{0, 0, 0};
inline constexpr OverlayColour kTextRed{255, 0, 0};
inline constexpr OverlayColour kTextGrey{128, 128, 128};

struct OverlayExtent {
  int width = 0;
  int height = 0;
};

class OverlayPainter {
 public:
  virtual ~OverlayPainter() = default;
  virtual OverlayExtent MeasureText(const char* text) = 0;
  // Draws `text` with its top left corner at (x, y). With a background colour the text's cell
  // is filled with it first (opaque); without one only the letters are drawn (transparent).
  virtual void DrawText(int x, int y, const char* text, OverlayColour colour,
                        const OverlayColour* background) = 0;
  virtual void FillBlack(const PictureRect& rect) = 0;
  virtual void DrawLogo(int x, int y) = 0;
};
