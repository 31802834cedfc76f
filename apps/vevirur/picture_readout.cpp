#include "picture_readout.h"

#include <array>
#include <cstring>

#include "raster/draw_surface.h"
#include "raster/drawing.h"

namespace vevirur {
namespace {

// 5-bit channels widened to 8 bits with their top bits repeated (31 becomes 255), for every
// x1r5g5b5 value.
const std::array<uint8_t, 65536 * 3>& ColourTable() {
  static const auto table = [] {
    std::array<uint8_t, 65536 * 3> t{};
    for (unsigned v = 0; v < 65536; ++v) {
      unsigned r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
      t[v * 3] = uint8_t(r << 3 | r >> 2);
      t[v * 3 + 1] = uint8_t(g << 3 | g >> 2);
      t[v * 3 + 2] = uint8_t(b << 3 | b >> 2);
    }
    return t;
  }();
  return table;
}

}  // namespace

bool ReadFinishedPicture(Picture& picture) {
  DrawSurface* surface = CurrentDrawSurface();
  const int width = picture.width, height = picture.height;
  if (!IsDrawSurfaceReady() || !surface) return false;
  if (!surface->Bits() || surface->BytesPerPixel() != 2)
    return ReadShownPicture(width, height, picture.rgb);
  // The bitmap is bottom-up with two rows and four columns more than the picture: device row r
  // shows memory row (bitmap height - 1 - r); whatever lies outside the bitmap shows black.
  const int dib_width = surface->Width() + 4;
  const int dib_height = surface->Height() + 2;
  const int columns = width < dib_width ? width : dib_width;
  const uint8_t* table = ColourTable().data();
  picture.rgb.resize(size_t(width) * size_t(height) * 3);
  for (int r = 0; r < height; ++r) {
    uint8_t* out = picture.rgb.data() + size_t(r) * size_t(width) * 3;
    if (r >= dib_height) {
      std::memset(out, 0, size_t(width) * 3);
      continue;
    }
    const uint8_t* row = surface->Bits() + size_t(dib_height - 1 - r) * size_t(surface->Stride());
    // Mostly black pictures: four black pixels at once.
    for (int c = 0; c < columns; c += 4) {
      const int n = columns - c < 4 ? columns - c : 4;
      uint64_t four = 0;
      if (n == 4) std::memcpy(&four, row + 2 * c, 8);
      if (n == 4 && four == 0) {
        std::memset(out + 3 * c, 0, 12);
        continue;
      }
      for (int i = c; i < c + n; ++i) {
        const uint8_t* colour = table + (unsigned(row[2 * i]) | unsigned(row[2 * i + 1]) << 8) * 3;
        out[3 * i] = colour[0];
        out[3 * i + 1] = colour[1];
        out[3 * i + 2] = colour[2];
      }
    }
    if (columns < width) std::memset(out + size_t(columns) * 3, 0, size_t(width - columns) * 3);
  }
  return true;
}

}  // namespace vevirur
