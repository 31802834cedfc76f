#include "pictures_out/yuv_convert.h"

#include <algorithm>
#include <cstring>

namespace vevirur {
namespace {

// 8 RGB pixels, 24 bytes, all zero.
bool IsBlack(const uint8_t* p) {
  uint64_t a, b, c;
  std::memcpy(&a, p, 8);
  std::memcpy(&b, p + 8, 8);
  std::memcpy(&c, p + 16, 8);
  return (a | b | c) == 0;
}

}  // namespace

void ConvertToYuv420(const Picture& picture, std::vector<uint8_t>& yuv) {
  const int w = picture.width, h = picture.height;
  const size_t luma = size_t(w) * size_t(h);
  yuv.resize(luma + luma / 2);
  uint8_t* y_plane = yuv.data();
  uint8_t* u_plane = y_plane + luma;
  uint8_t* v_plane = u_plane + luma / 4;
  const uint8_t* rgb = picture.rgb.data();
  std::vector<uint8_t> black(size_t(w / 8) + 1);
  for (int y = 0; y < h; y += 2) {
    std::fill(black.begin(), black.end(), 0);
    const uint8_t* row0 = rgb + size_t(y) * size_t(w) * 3;
    const uint8_t* row1 = row0 + size_t(w) * 3;
    uint8_t* y0 = y_plane + size_t(y) * size_t(w);
    uint8_t* y1 = y0 + w;
    uint8_t* u = u_plane + size_t(y / 2) * size_t(w / 2);
    uint8_t* v = v_plane + size_t(y / 2) * size_t(w / 2);
    // Luma of both rows first, then chroma per block. The pictures are mostly black, so runs
    // of 8 black pixels in both rows take a shortcut.
    int x = 0;
    for (; x + 8 <= w; x += 8) {
      if (!IsBlack(row0 + 3 * x) || !IsBlack(row1 + 3 * x)) {
        for (int i = x; i < x + 8; ++i) {
          const uint8_t* a = row0 + 3 * i;
          const uint8_t* b = row1 + 3 * i;
          y0[i] = uint8_t(((66 * a[0] + 129 * a[1] + 25 * a[2] + 128) >> 8) + 16);
          y1[i] = uint8_t(((66 * b[0] + 129 * b[1] + 25 * b[2] + 128) >> 8) + 16);
        }
        continue;
      }
      std::memset(y0 + x, 16, 8);
      std::memset(y1 + x, 16, 8);
      std::memset(u + x / 2, 128, 4);
      std::memset(v + x / 2, 128, 4);
      black[size_t(x / 8)] = 1;
    }
    for (; x < w; ++x) {
      const uint8_t* a = row0 + 3 * x;
      const uint8_t* b = row1 + 3 * x;
      y0[x] = uint8_t(((66 * a[0] + 129 * a[1] + 25 * a[2] + 128) >> 8) + 16);
      y1[x] = uint8_t(((66 * b[0] + 129 * b[1] + 25 * b[2] + 128) >> 8) + 16);
    }
    for (int x = 0; x < w / 2; ++x) {
      if (black[size_t(x / 4)] && x / 4 < w / 8) {
        x = x / 4 * 4 + 3;  // the whole run of 4 chroma samples is already set
        continue;
      }
      const uint8_t* a = row0 + 6 * x;
      const uint8_t* b = row1 + 6 * x;
      int r = a[0] + a[3] + b[0] + b[3];
      int g = a[1] + a[4] + b[1] + b[4];
      int bl = a[2] + a[5] + b[2] + b[5];
      // Sums of four pixels: the coefficients' scale grows by 4 (>> 10 instead of >> 8).
      u[x] = uint8_t(((-38 * r - 74 * g + 112 * bl + 512) >> 10) + 128);
      v[x] = uint8_t(((112 * r - 94 * g - 18 * bl + 512) >> 10) + 128);
    }
  }
}

}  // namespace vevirur
