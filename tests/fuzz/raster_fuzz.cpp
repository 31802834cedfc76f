// Fuzzes the drawing interface: the input picks a surface size and depth, then a run of pen,
// density, line and dissolve calls with arbitrary 32-bit arguments. The sanitizers catch any
// access outside the pixel memory or the noise table; the check at the end catches a line
// pixel outside the clip rectangle.
#include <cstdint>
#include <cstdlib>

#include "raster/draw_surface.h"
#include "raster/drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t used = 0;
  auto byte = [&]() -> int { return used < size ? data[used++] : 0; };
  auto any = [&] {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | uint32_t(byte());
    return int32_t(v);
  };
  // Small values near the picture most of the time, any 32-bit value otherwise.
  auto coordinate = [&] {
    if (byte() >= 200) return any();
    const int high = int8_t(byte()) * 3;
    return high + byte();
  };
  // Sides from -8 to 247 keep a run fast; the unit tests cover the large sizes.
  const int width = byte() - 8, height = byte() - 8;
  const int depths[] = {8, 16, 32, 24};
  if (CreateDrawSurface(width, height, depths[byte() % 4]) != 1) std::abort();
  for (int ops = 0; used < size && ops < 64; ++ops) {
    switch (byte() % 5) {
      case 0:
        SetPenWidth(byte() % 2 ? any() : byte() % 40 - 4);
        break;
      case 1:
        SetDrawDensity(byte() % 2 ? any() : byte() * 260);
        break;
      case 2:
        DissolveRect(coordinate(), coordinate(), coordinate(), coordinate(), any());
        break;
      default:
        DrawLine(coordinate(), coordinate(), coordinate(), coordinate(), 0xFFFF, 0xFFFF, 0xFFFF);
        break;
    }
  }
  // Lines write only inside the clip rectangle (the dissolve writes zero, so cannot show here).
  const DrawSurface& s = *CurrentDrawSurface();
  const Rect16 clip = s.Clip();
  for (int y = -2; s.Bits() && y < s.Height(); ++y) {
    const uint8_t* row = s.Bits() + (int64_t(s.Height()) - 1 - y) * s.Stride();
    for (int x = 0; x < (s.Width() + 4) * s.BytesPerPixel(); ++x) {
      const int column = x / s.BytesPerPixel();
      const bool inside =
          column >= clip.left && column < clip.right && y >= clip.top && y < clip.bottom;
      if (!inside && row[x] != 0) std::abort();
    }
  }
  DestroyDrawSurface();
  SetDrawDensity(65535);
  return 0;
}
