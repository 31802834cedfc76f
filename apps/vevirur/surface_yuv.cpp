#include "surface_yuv.h"

#include <cstring>
#include <memory>

#include "raster/shown_picture.h"

namespace vevirur {
namespace {

// For every x1r5g5b5 value: its limited-range luma, and its three 8-bit channels packed 10 bits
// apart, so that four pixels add up without carrying.
struct Tables {
  uint8_t luma[65536];
  uint32_t packed[65536];
};

const Tables& YuvTables() {
  static const std::unique_ptr<Tables> tables = [] {
    auto t = std::make_unique<Tables>();
    const uint8_t* rgb = Rgb555Table();
    for (unsigned v = 0; v < 65536; ++v) {
      const unsigned r = rgb[3 * v], g = rgb[3 * v + 1], b = rgb[3 * v + 2];
      t->luma[v] = uint8_t(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
      t->packed[v] = r | g << 10 | b << 20;
    }
    return t;
  }();
  return *tables;
}

unsigned Pixel(const uint8_t* row, int x) {
  return unsigned(row[2 * x]) | unsigned(row[2 * x + 1]) << 8;
}

}  // namespace

bool ConvertShownPictureToYuv420(int width, int height, std::vector<uint8_t>& yuv) {
  ShownRows shown;
  if (!OpenShownRows(width, height, shown) || shown.bytesPerPixel != 2) return false;
  const Tables& t = YuvTables();
  const int columns = shown.columns;
  const int pairs_inside = columns & ~1;  // both pixels of a 2 x 2 block lie in the bitmap
  const size_t luma = size_t(width) * size_t(height);
  yuv.resize(luma + luma / 2);
  std::vector<uint8_t> black_row(size_t(width) * 2, 0);

  for (int y = 0; y < height; y += 2) {
    const uint8_t* rows[2];
    for (int i = 0; i < 2; ++i) {
      const uint8_t* row = shown.Row(y + i);
      rows[i] = row ? row : black_row.data();
    }
    uint8_t* y0 = yuv.data() + size_t(y) * size_t(width);
    uint8_t* y1 = y0 + width;
    uint8_t* u = yuv.data() + luma + size_t(y / 2) * size_t(width / 2);
    uint8_t* v = u + luma / 4;
    auto block = [&](int x, unsigned a0, unsigned a1, unsigned b0, unsigned b1) {
      y0[x] = t.luma[a0];
      y0[x + 1] = t.luma[a1];
      y1[x] = t.luma[b0];
      y1[x + 1] = t.luma[b1];
      const uint32_t sum = t.packed[a0] + t.packed[a1] + t.packed[b0] + t.packed[b1];
      const int r = int(sum & 1023), g = int(sum >> 10 & 1023), b = int(sum >> 20);
      u[x / 2] = uint8_t(((-38 * r - 74 * g + 112 * b + 512) >> 10) + 128);
      v[x / 2] = uint8_t(((112 * r - 94 * g - 18 * b + 512) >> 10) + 128);
    };
    int x = 0;
    // Mostly black pictures: four black pixels in both rows at once.
    for (; x + 4 <= pairs_inside; x += 4) {
      uint64_t top, bottom;
      std::memcpy(&top, rows[0] + 2 * x, 8);
      std::memcpy(&bottom, rows[1] + 2 * x, 8);
      if ((top | bottom) == 0) {
        std::memset(y0 + x, 16, 4);
        std::memset(y1 + x, 16, 4);
        std::memset(u + x / 2, 128, 2);
        std::memset(v + x / 2, 128, 2);
        continue;
      }
      for (int i = x; i < x + 4; i += 2)
        block(i, Pixel(rows[0], i), Pixel(rows[0], i + 1), Pixel(rows[1], i),
              Pixel(rows[1], i + 1));
    }
    for (; x < width; x += 2) {
      auto at = [&](int row, int c) { return c < columns ? Pixel(rows[row], c) : 0u; };
      block(x, at(0, x), at(0, x + 1), at(1, x), at(1, x + 1));
    }
  }
  return true;
}

}  // namespace vevirur
