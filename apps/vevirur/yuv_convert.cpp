#include "yuv_convert.h"

namespace vevirur {

void ConvertToYuv420(const Picture& picture, std::vector<uint8_t>& yuv) {
  const int w = picture.width, h = picture.height;
  const size_t luma = size_t(w) * size_t(h);
  yuv.resize(luma + luma / 2);
  uint8_t* y_plane = yuv.data();
  uint8_t* u_plane = y_plane + luma;
  uint8_t* v_plane = u_plane + luma / 4;
  const uint8_t* rgb = picture.rgb.data();
  for (int y = 0; y < h; y += 2) {
    const uint8_t* row0 = rgb + size_t(y) * size_t(w) * 3;
    const uint8_t* row1 = row0 + size_t(w) * 3;
    uint8_t* y0 = y_plane + size_t(y) * size_t(w);
    uint8_t* y1 = y0 + w;
    uint8_t* u = u_plane + size_t(y / 2) * size_t(w / 2);
    uint8_t* v = v_plane + size_t(y / 2) * size_t(w / 2);
    for (int x = 0; x < w; x += 2) {
      int r = 0, g = 0, b = 0;
      const uint8_t* px[4] = {row0 + x * 3, row0 + x * 3 + 3, row1 + x * 3, row1 + x * 3 + 3};
      uint8_t* out[4] = {y0 + x, y0 + x + 1, y1 + x, y1 + x + 1};
      for (int i = 0; i < 4; ++i) {
        int pr = px[i][0], pg = px[i][1], pb = px[i][2];
        *out[i] = uint8_t(((66 * pr + 129 * pg + 25 * pb + 128) >> 8) + 16);
        r += pr;
        g += pg;
        b += pb;
      }
      // Sums of four pixels: scale the coefficients down by 4 more (>> 10 instead of >> 8).
      u[x / 2] = uint8_t(((-38 * r - 74 * g + 112 * b + 512) >> 10) + 128);
      v[x / 2] = uint8_t(((112 * r - 94 * g - 18 * b + 512) >> 10) + 128);
    }
  }
}

}  // namespace vevirur
