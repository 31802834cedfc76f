// The dissolve's inner loop, eight noise values per step where SSE2 is there (every x86_64
// CPU). The result is the plain per-pixel rule of ClearWhereNoiseBelowScalar, bit for bit.
#include "raster/dissolve_kernel.h"

#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VV_DISSOLVE_SSE2 1
#endif

namespace raster_detail {

#ifdef VV_DISSOLVE_SSE2
namespace {

// 0xFFFF in every lane whose noise value is below the density.
inline __m128i ClearMask(const int16_t* noise, __m128i density) {
  return _mm_cmplt_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(noise)), density);
}

// Always load and store: skipping vectors that clear nothing costs more in mispredicted
// branches than it saves, since at the scenes' densities about half of them clear a pixel.
inline void ClearVector(void* p, __m128i mask) {
  __m128i* v = static_cast<__m128i*>(p);
  _mm_storeu_si128(v, _mm_andnot_si128(mask, _mm_loadu_si128(v)));
}

// Scalar pixels up to the first 16-byte boundary, so the vector stores never split a line.
template <typename Pixel>
int AlignedStart(Pixel* p, const int16_t* noise, int count, int16_t density) {
  int head = int((16 - (reinterpret_cast<uintptr_t>(p) & 15)) & 15) / int(sizeof(Pixel));
  if (head > count) head = count;
  ClearWhereNoiseBelowScalar(p, noise, head, density);
  return head;
}

}  // namespace

void ClearWhereNoiseBelow(uint8_t* p, const int16_t* noise, int count, int16_t density) {
  const __m128i d = _mm_set1_epi16(density);
  int i = AlignedStart(p, noise, count, density);
  for (; i + 16 <= count; i += 16)
    ClearVector(p + i, _mm_packs_epi16(ClearMask(noise + i, d), ClearMask(noise + i + 8, d)));
  ClearWhereNoiseBelowScalar(p + i, noise + i, count - i, density);
}

void ClearWhereNoiseBelow(uint16_t* p, const int16_t* noise, int count, int16_t density) {
  const __m128i d = _mm_set1_epi16(density);
  int i = AlignedStart(p, noise, count, density);
  for (; i + 16 <= count; i += 16) {
    ClearVector(p + i, ClearMask(noise + i, d));
    ClearVector(p + i + 8, ClearMask(noise + i + 8, d));
  }
  for (; i + 8 <= count; i += 8) ClearVector(p + i, ClearMask(noise + i, d));
  ClearWhereNoiseBelowScalar(p + i, noise + i, count - i, density);
}

void ClearWhereNoiseBelow(uint32_t* p, const int16_t* noise, int count, int16_t density) {
  const __m128i d = _mm_set1_epi16(density);
  int i = AlignedStart(p, noise, count, density);
  for (; i + 8 <= count; i += 8) {
    const __m128i mask = ClearMask(noise + i, d);
    ClearVector(p + i, _mm_unpacklo_epi16(mask, mask));
    ClearVector(p + i + 4, _mm_unpackhi_epi16(mask, mask));
  }
  ClearWhereNoiseBelowScalar(p + i, noise + i, count - i, density);
}

#else

void ClearWhereNoiseBelow(uint8_t* p, const int16_t* noise, int count, int16_t density) {
  ClearWhereNoiseBelowScalar(p, noise, count, density);
}
void ClearWhereNoiseBelow(uint16_t* p, const int16_t* noise, int count, int16_t density) {
  ClearWhereNoiseBelowScalar(p, noise, count, density);
}
void ClearWhereNoiseBelow(uint32_t* p, const int16_t* noise, int count, int16_t density) {
  ClearWhereNoiseBelowScalar(p, noise, count, density);
}

#endif

}  // namespace raster_detail
