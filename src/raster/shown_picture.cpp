// The picture as the blit shows it, decoded to 8-bit RGB for tools, tests and the Linux viewer.
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
    for (int c = 0; c < width && c < dibWidth; ++c)
      DecodePixel(*surface, row + c * bytes, out + c * 3);
  }
  return true;
}
