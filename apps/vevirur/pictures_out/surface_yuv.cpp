#include "pictures_out/surface_yuv.h"

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

}  // namespace

bool CopyShownPixels(int width, int height, ShownPixels& out) {
  ShownRows shown;
  if (!OpenShownRows(width, height, shown) || shown.bytesPerPixel != 2) return false;
  out.width = width;
  out.height = height;
  out.pixels.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y) {
    uint16_t* row = out.pixels.data() + size_t(y) * size_t(width);
    const uint8_t* inside = shown.Row(y);
    const int copied = inside ? shown.columns : 0;
    if (inside) std::memcpy(row, inside, size_t(copied) * 2);
    std::memset(row + copied, 0, size_t(width - copied) * 2);
  }
  return true;
}

void ConvertShownPixelsToYuv420(const ShownPixels& shown, std::vector<uint8_t>& yuv) {
  const Tables& t = YuvTables();
  const int width = shown.width, height = shown.height;
  const size_t luma = size_t(width) * size_t(height);
  yuv.resize(luma + luma / 2);
  for (int y = 0; y < height; y += 2) {
    const uint16_t* rows[2] = {shown.pixels.data() + size_t(y) * size_t(width),
                               shown.pixels.data() + size_t(y + 1) * size_t(width)};
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
    for (; x + 4 <= width; x += 4) {
      uint64_t top, bottom;
      std::memcpy(&top, rows[0] + x, 8);
      std::memcpy(&bottom, rows[1] + x, 8);
      if ((top | bottom) == 0) {
        std::memset(y0 + x, 16, 4);
        std::memset(y1 + x, 16, 4);
        std::memset(u + x / 2, 128, 2);
        std::memset(v + x / 2, 128, 2);
        continue;
      }
      for (int i = x; i < x + 4; i += 2)
        block(i, rows[0][i], rows[0][i + 1], rows[1][i], rows[1][i + 1]);
    }
    for (; x < width; x += 2) block(x, rows[0][x], rows[0][x + 1], rows[1][x], rows[1][x + 1]);
  }
}

bool ConvertShownPictureToYuv420(int width, int height, std::vector<uint8_t>& yuv) {
  ShownPixels shown;
  if (!CopyShownPixels(width, height, shown)) return false;
  ConvertShownPixelsToYuv420(shown, yuv);
  return true;
}

}  // namespace vevirur
