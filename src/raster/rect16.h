#pragma once
// Rect16: left, top, right, bottom as signed 16-bit values.
#include <algorithm>
#include <cstdint>

struct Rect16 {
  int16_t left = 0;
  int16_t top = 0;
  int16_t right = 0;
  int16_t bottom = 0;

  // Each value is cut to its low 16 bits, as the rectangle's callers pass ints.
  void Set(int l, int t, int r, int b) {
    left = int16_t(l);
    top = int16_t(t);
    right = int16_t(r);
    bottom = int16_t(b);
  }
  // Left and top become the larger, right and bottom the smaller; an empty result is kept as it
  // is (right < left or bottom < top), not normalised.
  void Intersect(const Rect16& other) {
    left = std::max(left, other.left);
    top = std::max(top, other.top);
    right = std::min(right, other.right);
    bottom = std::min(bottom, other.bottom);
  }
};

inline Rect16 MakeRect16(int l, int t, int r, int b) {
  Rect16 rect;
  rect.Set(l, t, r, b);
  return rect;
}
