// Fuzzes the drawing interface: the input picks a surface size and depth, then a run of pen,
// density, line and dissolve calls with arbitrary 32-bit arguments. The sanitizers catch any
// access outside the pixel memory or the noise table; the check at the end catches a line
// pixel outside the clip rectangle.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "raster/draw_surface.h"
#include "raster/drawing.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return used_ >= size_; }
  uint8_t Byte() { return used_ < size_ ? data_[used_++] : 0; }
  int32_t Int() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return int32_t(v);
  }
  // Small values near the picture most of the time, any 32-bit value otherwise.
  int32_t Coordinate() {
    const uint8_t kind = Byte();
    if (kind < 200) return int32_t(int8_t(Byte())) * 3 + int32_t(Byte());
    return Int();
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t used_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  // Sides from -8 to 247 keep a run fast; the unit tests cover the large sizes.
  const int width = int(in.Byte()) - 8;
  const int height = int(in.Byte()) - 8;
  const int depths[] = {8, 16, 32, 24};
  if (CreateDrawSurface(width, height, depths[in.Byte() % 4]) != 1) std::abort();
  DrawSurface& surface = *CurrentDrawSurface();
  for (int ops = 0; !in.Empty() && ops < 64; ++ops) {
    switch (in.Byte() % 5) {
      case 0:
        SetPenWidth(in.Byte() % 2 ? in.Int() : int(in.Byte() % 40) - 4);
        break;
      case 1:
        SetDrawDensity(in.Byte() % 2 ? in.Int() : int(in.Byte()) * 260);
        break;
      case 2:
        DissolveRect(in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Int());
        break;
      default:
        DrawLine(in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate(), 0xFFFF, 0xFFFF,
                 0xFFFF);
        break;
    }
  }
  // Lines write only inside the clip rectangle (the dissolve writes zero, so cannot show here).
  if (surface.Bits() && surface.BytesPerPixel() > 0) {
    const Rect16 clip = surface.Clip();
    const int bytes = surface.BytesPerPixel();
    for (int y = -2; y < surface.Height(); ++y) {
      const uint8_t* row = surface.Bits() + (int64_t(surface.Height()) - 1 - y) * surface.Stride();
      for (int x = 0; x < surface.Width() + 4; ++x) {
        const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
        if (inside) continue;
        for (int b = 0; b < bytes; ++b)
          if (row[x * bytes + b] != 0) std::abort();
      }
    }
  }
  DestroyDrawSurface();
  SetDrawDensity(65535);
  return 0;
}
