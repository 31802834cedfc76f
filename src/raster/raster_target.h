#pragma once
// What a line or dissolve kernel needs from a surface: pixel memory, its geometry, the clip
// rectangle, the pen and the noise. Kernels see only this, never the bitmap behind it.
#include <cstdint>

#include "raster/noise_table.h"
#include "raster/rect16.h"

struct RasterTarget {
  uint8_t* bits = nullptr;  // null: the surface has no pixel memory and nothing is drawn
  int height = 0;           // picture rows; row y lives at bits + (height - 1 - y) * stride
  int stride = 0;
  Rect16 clip;
  int penWidth = 1;
  int density = 0;
  const NoiseTable* noise = nullptr;

  // Byte offset of picture pixel (x, y) from `bits`.
  int64_t Offset(int x, int y, int bytesPerPixel) const {
    return (int64_t(height) - 1 - y) * stride + int64_t(x) * bytesPerPixel;
  }
};
