// The picture as the blit shows it, decoded to 8-bit RGB for tools, tests and the Linux viewer.
#include <array>
#include <cstring>

#include "raster/draw_surface.h"
#include "raster/drawing.h"

namespace {

// A 5-bit channel widened to 8 bits with its top bits repeated, so 31 becomes 255.
uint8_t Widen5(unsigned v) {
  return uint8_t(v << 3 | v >> 2);
}

void DecodePixel(const DrawSurface& surface, const uint8_t* p, uint8_t* rgb) {
  switch (surface.BytesPerPixel()) {
    case 2: {
      unsigned v = unsigned(p[0]) | unsigned(p[1]) << 8;
      rgb[0] = Widen5(v >> 10 & 31);
      rgb[1] = Widen5(v >> 5 & 31);
      rgb[2] = Widen5(v & 31);
      break;
    }
    case 4:  // 0x00RRGGBB, blue lowest in memory
      rgb[0] = p[2];
      rgb[1] = p[1];
      rgb[2] = p[0];
      break;
    case 1: {
      const uint8_t* quad = surface.Colours() + p[0] * 4;
      rgb[0] = quad[2];
      rgb[1] = quad[1];
      rgb[2] = quad[0];
      break;
    }
    default:
      break;
  }
}

// Every x1r5g5b5 value decoded once: at 1080p the read-out is a large share of an offline
// render, and a table lookup is several times faster than unpacking each pixel.
const std::array<uint8_t, 65536 * 3>& Colours555() {
  static const auto table = [] {
    std::array<uint8_t, 65536 * 3> t{};
    for (unsigned v = 0; v < 65536; ++v) {
      t[v * 3] = Widen5(v >> 10 & 31);
      t[v * 3 + 1] = Widen5(v >> 5 & 31);
      t[v * 3 + 2] = Widen5(v & 31);
    }
    return t;
  }();
  return table;
}

void DecodeRow16(const uint8_t* row, int columns, uint8_t* out) {
  const uint8_t* table = Colours555().data();
  for (int c = 0; c < columns; c += 4) {
    const int n = columns - c < 4 ? columns - c : 4;
    uint64_t four = 0;
    if (n == 4) std::memcpy(&four, row + 2 * c, 8);
    if (n == 4 && four == 0) continue;  // mostly black pictures: four black pixels at once
    for (int i = c; i < c + n; ++i) {
      const uint8_t* colour = table + (unsigned(row[2 * i]) | unsigned(row[2 * i + 1]) << 8) * 3;
      std::memcpy(out + 3 * i, colour, 3);
    }
  }
}

}  // namespace

bool ReadShownPicture(int width, int height, std::vector<uint8_t>& rgb) {
  DrawSurface* surface = CurrentDrawSurface();
  if (!IsDrawSurfaceReady() || !surface || width < 0 || height < 0) return false;
  rgb.assign(size_t(width) * size_t(height) * 3, 0);
  if (!surface->Bits()) return true;  // no pixels: the device context shows black
  // Device row r shows memory row (dib height - 1 - r), that is picture row r - 2; whatever
  // lies outside the bitmap shows black.
  const int dibWidth = surface->Width() + 4;
  const int dibHeight = surface->Height() + 2;
  const int bytes = surface->BytesPerPixel();
  for (int r = 0; r < height && r < dibHeight; ++r) {
    const uint8_t* row = surface->Bits() + size_t(dibHeight - 1 - r) * size_t(surface->Stride());
    uint8_t* out = rgb.data() + size_t(r) * size_t(width) * 3;
    const int columns = width < dibWidth ? width : dibWidth;
    if (bytes == 2) {
      DecodeRow16(row, columns, out);
      continue;
    }
    for (int c = 0; c < columns; ++c) DecodePixel(*surface, row + c * bytes, out + c * 3);
  }
  return true;
}
