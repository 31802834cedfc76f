#include "pictures_out/surface_yuv.h"

#include <algorithm>
#include <cstring>

#include "raster/shown_picture.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vevirur {
namespace {

constexpr uint8_t kBlackLuma = 16, kBlackChroma = 128;

// A 5-bit channel widened to 8 bits with its top bits repeated, as the window shows it.
int Widen5(unsigned v) {
  return int(v << 3 | v >> 2);
}

int LumaOf(int r, int g, int b) {
  return ((66 * r + 129 * g + 25 * b + 128) >> 8) + 16;
}

unsigned PixelAt(const uint8_t* row, int x) {
  uint16_t p;
  std::memcpy(&p, row + 2 * x, 2);
  return p;
}

// The 2 x 2 block at columns x, x + 1 of both rows: four luma samples and one of each chroma.
// Sums of four pixels: the chroma coefficients' scale grows by 4 (>> 10 instead of >> 8).
void ConvertBlock(const unsigned (&p)[4], uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v) {
  int r = 0, g = 0, b = 0;
  for (int i = 0; i < 4; ++i) {
    const int pr = Widen5(p[i] >> 10 & 31), pg = Widen5(p[i] >> 5 & 31), pb = Widen5(p[i] & 31);
    (i < 2 ? y0 : y1)[i & 1] = uint8_t(LumaOf(pr, pg, pb));
    r += pr, g += pg, b += pb;
  }
  *u = uint8_t(((-38 * r - 74 * g + 112 * b + 512) >> 10) + 128);
  *v = uint8_t(((112 * r - 94 * g - 18 * b + 512) >> 10) + 128);
}

#if defined(__SSE2__)
// Eight x1r5g5b5 pixels as three registers of 8-bit channels in 16-bit lanes.
struct Channels {
  __m128i r, g, b;
};

Channels Widen(__m128i p) {
  const __m128i five = _mm_set1_epi16(31);
  auto widen = [](__m128i c) { return _mm_or_si128(_mm_slli_epi16(c, 3), _mm_srli_epi16(c, 2)); };
  return {widen(_mm_and_si128(_mm_srli_epi16(p, 10), five)),
          widen(_mm_and_si128(_mm_srli_epi16(p, 5), five)), widen(_mm_and_si128(p, five))};
}

// At most 66 * 255 + 129 * 255 + 25 * 255 + 128 = 56228: unsigned 16-bit lanes suffice.
__m128i Luma(const Channels& c) {
  const __m128i sum =
      _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(c.r, _mm_set1_epi16(66)),
                                  _mm_mullo_epi16(c.g, _mm_set1_epi16(129))),
                    _mm_add_epi16(_mm_mullo_epi16(c.b, _mm_set1_epi16(25)), _mm_set1_epi16(128)));
  return _mm_add_epi16(_mm_srli_epi16(sum, 8), _mm_set1_epi16(16));
}

// One chroma plane's four samples of eight columns: each pair of adjacent lanes of the row
// sums (at most 510) times its coefficient, added in 32 bits by madd.
__m128i Chroma(const Channels& sums, int kr, int kg, int kb) {
  const __m128i total = _mm_add_epi32(
      _mm_add_epi32(_mm_madd_epi16(sums.r, _mm_set1_epi16(int16_t(kr))),
                    _mm_madd_epi16(sums.g, _mm_set1_epi16(int16_t(kg)))),
      _mm_add_epi32(_mm_madd_epi16(sums.b, _mm_set1_epi16(int16_t(kb))), _mm_set1_epi32(512)));
  return _mm_add_epi32(_mm_srai_epi32(total, 10), _mm_set1_epi32(128));
}

// Sixteen columns of both rows: 16 luma samples per row and 8 of each chroma plane. `black`
// says whether the planes hold black there, before and after.
void Convert16(const uint8_t* top, const uint8_t* bottom, uint8_t* y0, uint8_t* y1, uint8_t* u,
               uint8_t* v, uint8_t& black) {
  const __m128i t0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top));
  const __m128i t1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + 16));
  const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom));
  const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + 16));
  const __m128i any = _mm_or_si128(_mm_or_si128(t0, t1), _mm_or_si128(b0, b1));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF) {
    // Mostly black pictures: sixteen black pixels in both rows at once, often black already.
    if (black) return;
    black = 1;
    std::memset(y0, kBlackLuma, 16);
    std::memset(y1, kBlackLuma, 16);
    std::memset(u, kBlackChroma, 8);
    std::memset(v, kBlackChroma, 8);
    return;
  }
  black = 0;
  const Channels ct0 = Widen(t0), ct1 = Widen(t1), cb0 = Widen(b0), cb1 = Widen(b1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(y0), _mm_packus_epi16(Luma(ct0), Luma(ct1)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(y1), _mm_packus_epi16(Luma(cb0), Luma(cb1)));
  auto add = [](const Channels& a, const Channels& b) {
    return Channels{_mm_add_epi16(a.r, b.r), _mm_add_epi16(a.g, b.g), _mm_add_epi16(a.b, b.b)};
  };
  const Channels s0 = add(ct0, cb0), s1 = add(ct1, cb1);
  const __m128i us = _mm_packs_epi32(Chroma(s0, -38, -74, 112), Chroma(s1, -38, -74, 112));
  const __m128i vs = _mm_packs_epi32(Chroma(s0, 112, -94, -18), Chroma(s1, 112, -94, -18));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(u), _mm_packus_epi16(us, us));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(v), _mm_packus_epi16(vs, vs));
}
#endif

// `count` (even) pixels of two rows of x1r5g5b5 bytes into their luma rows and chroma row;
// `black` holds the row pair's flags of KnownBlack.
void ConvertRowPair(const uint8_t* top, const uint8_t* bottom, int count, uint8_t* y0, uint8_t* y1,
                    uint8_t* u, uint8_t* v, uint8_t* black) {
  int x = 0;
#if defined(__SSE2__)
  for (; x + 16 <= count; x += 16)
    Convert16(top + 2 * x, bottom + 2 * x, y0 + x, y1 + x, u + x / 2, v + x / 2, black[x / 16]);
#else
  (void)black;
#endif
  for (; x + 2 <= count; x += 2) {
    const unsigned p[4] = {PixelAt(top, x), PixelAt(top, x + 1), PixelAt(bottom, x),
                           PixelAt(bottom, x + 1)};
    ConvertBlock(p, y0 + x, y1 + x, u + x / 2, v + x / 2);
  }
}

// Where row pair `y` of a width x height frame lands in its planes.
struct PlaneRows {
  uint8_t *y0, *y1, *u, *v;
};

PlaneRows RowsOf(std::vector<uint8_t>& yuv, int width, int height, int y) {
  const size_t luma = size_t(width) * size_t(height);
  uint8_t* y0 = yuv.data() + size_t(y) * size_t(width);
  uint8_t* u = yuv.data() + luma + size_t(y / 2) * size_t(width / 2);
  return {y0, y0 + width, u, u + luma / 4};
}

}  // namespace

void KnownBlack::Forget(int top, int bottom) {
  const size_t columns = size_t(width / 16);
  if (flags.size() < columns * size_t(height / 2)) return;
  for (int y = std::max(top, 0) / 2; y < (std::min(bottom, height) + 1) / 2; ++y)
    std::fill_n(flags.begin() + std::ptrdiff_t(size_t(y) * columns), columns, uint8_t(0));
}

bool ConvertShownPictureToYuv420(int width, int height, std::vector<uint8_t>& yuv,
                                 KnownBlack* known) {
  ShownRows shown;
  if (!OpenShownRows(width, height, shown) || shown.bytesPerPixel != 2) return false;
  yuv.resize(size_t(width) * size_t(height) * 3 / 2);
  KnownBlack unknown;
  if (!known) known = &unknown;
  if (known->width != width || known->height != height) {
    known->width = width;
    known->height = height;
    known->flags.assign(size_t(width / 16) * size_t(height / 2 + 1), 0);
  }
  // Rows and columns beyond the bitmap are black; a row outside it reads as zeros.
  const std::vector<uint8_t> zeros(size_t(shown.columns + 1) * 2, 0);
  const int pairs = shown.columns & ~1;  // whole 2 x 2 blocks inside the bitmap
  for (int y = 0; y + 1 < height; y += 2) {
    const PlaneRows out = RowsOf(yuv, width, height, y);
    const uint8_t* top = shown.Row(y);
    const uint8_t* bottom = shown.Row(y + 1);
    int x = 0;
    if (top || bottom) {
      top = top ? top : zeros.data();
      bottom = bottom ? bottom : zeros.data();
      ConvertRowPair(top, bottom, pairs, out.y0, out.y1, out.u, out.v,
                     known->flags.data() + size_t(y / 2) * size_t(width / 16));
      x = pairs;
      if (pairs < shown.columns) {  // a block half inside the bitmap
        const unsigned p[4] = {PixelAt(top, x), 0, PixelAt(bottom, x), 0};
        ConvertBlock(p, out.y0 + x, out.y1 + x, out.u + x / 2, out.v + x / 2);
        x += 2;
      }
    }
    std::fill(out.y0 + x, out.y0 + width, kBlackLuma);
    std::fill(out.y1 + x, out.y1 + width, kBlackLuma);
    std::fill(out.u + x / 2, out.u + width / 2, kBlackChroma);
    std::fill(out.v + x / 2, out.v + width / 2, kBlackChroma);
  }
  return true;
}

}  // namespace vevirur
