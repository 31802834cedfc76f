#include "raster/line_geometry.h"

#include <cmath>

namespace {

// The hand-drawn brush rows of the small pens: round shapes that the square-root rule below
// would make too square.
const int8_t kSmallBrushInsets[12][11] = {
    {},
    {},
    {0, 0},
    {1, 0, 1},
    {1, 0, 0, 1},
    {1, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 1},
    {2, 1, 0, 0, 0, 1, 2},
    {2, 1, 0, 0, 0, 0, 1, 2},
    {3, 1, 1, 0, 0, 0, 1, 1, 3},
    {3, 1, 1, 0, 0, 0, 0, 1, 1, 3},
    {4, 2, 1, 1, 0, 0, 0, 1, 1, 2, 4},
};

struct LargeBrushes {
  int8_t insets[kMaxPenWidth + 1][kMaxPenWidth];
  LargeBrushes() : insets{} {
    for (int width = 12; width <= kMaxPenWidth; ++width) {
      const int h = width >> 1;
      for (int k = 0; k < width; ++k) {
        const double chord = std::sqrt(double(h * h - (k - h) * (k - h)));
        insets[width][k] = int8_t(h - int(chord));
      }
    }
  }
};

// 128-bit product of a 64-bit value and a 32-bit factor, as (high, low) words.
void MultiplyWide(uint64_t value, uint32_t factor, uint64_t& high, uint64_t& low) {
  const uint64_t lowPart = (value & 0xFFFFFFFFu) * factor;
  const uint64_t highPart = (value >> 32) * factor + (lowPart >> 32);
  low = (highPart << 32) | (lowPart & 0xFFFFFFFFu);
  high = highPart >> 32;
}

}  // namespace

uint32_t ScaledRatio(uint64_t num, uint64_t den, uint32_t scale) {
  if (num <= (UINT64_MAX / scale)) return uint32_t(num * scale / den);
  // Only lines longer than about 2^28 pixels get here: the largest k <= scale with
  // k * den <= scale * num, by comparing 128-bit products.
  uint64_t targetHigh, targetLow;
  MultiplyWide(num, scale, targetHigh, targetLow);
  uint32_t k = scale;
  for (;;) {
    uint64_t high, low;
    MultiplyWide(den, k, high, low);
    if (high < targetHigh || (high == targetHigh && low <= targetLow)) return k;
    --k;
  }
}

int LineThickness(int penWidth, int64_t dx, int64_t dy) {
  if (penWidth <= 3 || (dx == 0 && dy == 0)) return penWidth;
  // Differences of two 32-bit values are below 2^32, so their squares fit in 64 bits; only the
  // product with 55 may need more, which ScaledRatio handles.
  const uint64_t adx = uint64_t(dx < 0 ? -dx : dx);
  const uint64_t ady = uint64_t(dy < 0 ? -dy : dy);
  const uint64_t a = adx * adx, b = ady * ady;
  const uint32_t f = 128 + (a > 0 && a >= b ? ScaledRatio(b, a, 55) : ScaledRatio(a, b, 55));
  return int((uint32_t(penWidth) * f + 64) >> 7);
}

const int8_t* BrushInsets(int penWidth) {
  static const LargeBrushes large;
  if (penWidth < 12) return kSmallBrushInsets[penWidth];
  return large.insets[penWidth];
}
