#include "raster/shown_picture.h"

#include <array>
#include <cstring>

#include "raster/draw_surface.h"
#include "raster/drawing.h"

namespace {

uint8_t Widen5(unsigned v) {
  return uint8_t(v << 3 | v >> 2);
}

// 0x00RRGGBB (blue lowest in memory) or an RGBQUAD index.
void DecodeOther(const ShownRows& rows, const uint8_t* row, uint8_t* out) {
  for (int c = 0; c < rows.columns; ++c, out += 3) {
    const uint8_t* p = rows.bytesPerPixel == 4 ? row + 4 * c : rows.colours + row[c] * 4;
    out[0] = p[2];
    out[1] = p[1];
    out[2] = p[0];
  }
}

// A table lookup per pixel: at 1080p the read-out is a large share of an offline render.
void Decode16(const ShownRows& rows, const uint8_t* row, uint8_t* out) {
  const uint8_t* table = Rgb555Table();
  const int columns = rows.columns;
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

const uint8_t* Rgb555Table() {
  static const auto table = [] {
    std::array<uint8_t, 65536 * 3> t{};
    for (unsigned v = 0; v < 65536; ++v) {
      t[v * 3] = Widen5(v >> 10 & 31);
      t[v * 3 + 1] = Widen5(v >> 5 & 31);
      t[v * 3 + 2] = Widen5(v & 31);
    }
    return t;
  }();
  return table.data();
}

bool OpenShownRows(int width, int height, ShownRows& rows) {
  const DrawSurface* surface = CurrentDrawSurface();
  if (!IsDrawSurfaceReady() || !surface || width < 0 || height < 0) return false;
  rows = ShownRows{};
  rows.width = width;
  rows.height = height;
  const int bytes = surface->BytesPerPixel();
  // No pixels (or a depth nobody reads): the device context shows black.
  if (!surface->Bits() || (bytes != 1 && bytes != 2 && bytes != 4)) return true;
  const int bitmapWidth = surface->Width() + 4;
  rows.bitmapHeight = surface->Height() + 2;
  rows.columns = width < bitmapWidth ? width : bitmapWidth;
  rows.rowsInside = height < rows.bitmapHeight ? height : rows.bitmapHeight;
  rows.bytesPerPixel = bytes;
  rows.bits = surface->Bits();
  rows.stride = surface->Stride();
  rows.colours = surface->Colours();
  return true;
}

void DecodeShownRow(const ShownRows& rows, int r, uint8_t* out) {
  const uint8_t* row = rows.Row(r);
  std::memset(out, 0, size_t(rows.width) * 3);
  if (!row) return;
  if (rows.bytesPerPixel == 2)
    Decode16(rows, row, out);
  else
    DecodeOther(rows, row, out);
}

bool ReadShownPicture(int width, int height, std::vector<uint8_t>& rgb) {
  ShownRows rows;
  if (!OpenShownRows(width, height, rows)) return false;
  rgb.assign(size_t(width) * size_t(height) * 3, 0);
  for (int r = 0; r < rows.rowsInside; ++r)
    DecodeShownRow(rows, r, rgb.data() + size_t(r) * size_t(width) * 3);
  return true;
}
