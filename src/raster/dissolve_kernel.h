#pragma once
// The dissolve kernel: one algorithm for 8-, 16- and 32-bit pixels. It clears a random share of
// the pixels of a rectangle: one random table position per row, then one noise value per pixel.
// It covers the picture rows just above the rectangle's (bottom - 1 up to top - 1), so it
// reaches one row above the clip rectangle and, with the right edge included, one column past
// it; both stay inside the bitmap, which is four pixels wider and two rows taller than the
// picture.
#include <algorithm>
#include <cstdint>

#include "raster/random15.h"
#include "raster/raster_target.h"

namespace raster_detail {

// Clears p[i] where noise[i] < density, for i in 0..count-1. 0 < density < 32768, so the noise
// (0..32767) and the density compare as signed 16-bit values.
void ClearWhereNoiseBelow(uint8_t* p, const int16_t* noise, int count, int16_t density);
void ClearWhereNoiseBelow(uint16_t* p, const int16_t* noise, int count, int16_t density);
void ClearWhereNoiseBelow(uint32_t* p, const int16_t* noise, int count, int16_t density);

// The plain rule, one pixel at a time: the reference the fast rows are tested against.
template <typename Pixel>
void ClearWhereNoiseBelowScalar(Pixel* p, const int16_t* noise, int count, int16_t density) {
  for (int i = 0; i < count; ++i)
    if (noise[i] < density) p[i] = 0;
}

// One row of `count` pixels, noise read from table entry `start` on, wrapping at the end.
template <typename Pixel>
void DissolveRow(Pixel* p, const NoiseTable& table, uint32_t start, int count, int density) {
  if (count <= 0 || density <= 0) return;
  if (density >= 32768) {
    std::fill_n(p, count, Pixel(0));
    return;
  }
  while (count > 0) {
    start &= kNoiseIndexMask;
    const int run = std::min<int64_t>(count, kNoiseTableSize - start);
    ClearWhereNoiseBelow(p, table.values + start, run, int16_t(density));
    p += run;
    start += uint32_t(run);
    count -= run;
  }
}

}  // namespace raster_detail

// `rect` null: the whole clip rectangle. Otherwise each edge is clamped into the clip rectangle.
template <typename Pixel>
void DissolveKernel(const RasterTarget& target, const Rect16* rect) {
  if (!target.bits || !target.noise) return;
  const Rect16& clip = target.clip;
  // An empty clip rectangle (a picture smaller than 3 x 3) has no range to clamp into.
  if (clip.right < clip.left || clip.bottom < clip.top) return;
  int left = clip.left, top = clip.top, right = clip.right, bottom = clip.bottom;
  if (rect) {
    left = std::clamp<int>(rect->left, clip.left, clip.right);
    right = std::clamp<int>(rect->right, clip.left, clip.right);
    top = std::clamp<int>(rect->top, clip.top, clip.bottom);
    bottom = std::clamp<int>(rect->bottom, clip.top, clip.bottom);
  }
  if (bottom < top) return;
  const int columns = right - left + 1;
  // Picture row bottom - 1 first; each row above lies one stride higher in memory.
  uint8_t* row = target.bits + target.Offset(left, bottom - 1, int(sizeof(Pixel)));
  for (int y = bottom - 1; y >= top - 1; --y, row += target.stride) {
    const uint32_t start = uint32_t(NextRandom15());
    raster_detail::DissolveRow(reinterpret_cast<Pixel*>(row), *target.noise, start, columns,
                               target.density);
  }
}
