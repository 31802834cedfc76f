#pragma once
// Stroke colours of the effects and the two ways they draw with them.
#include <cstdint>

#include "raster/drawing.h"

// Channel levels times 124: up to 503936, of which the line drawing keeps the low 16 bits, so
// strong levels wrap round to other colours.
struct EffectColour {
  int red;
  int green;
  int blue;
};

inline void DrawColourLine(int x1, int y1, int x2, int y2, const EffectColour& colour) {
  DrawLine(x1, y1, x2, y2, uint16_t(colour.red), uint16_t(colour.green), uint16_t(colour.blue));
}

// A dot is a line from a point to itself: the brush shape of the current pen.
inline void DrawColourDot(int x, int y, const EffectColour& colour) {
  DrawColourLine(x, y, x, y, colour);
}
