#pragma once
// Helpers for the raster tests: a fresh current surface per test, pixel reads by picture
// coordinates, and the set of pixels a drawing changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "raster/draw_surface.h"
#include "raster/drawing.h"
#include "raster/random15.h"
#include "raster/shown_picture.h"

using PixelSet = std::set<std::pair<int, int>>;  // (x, y) in picture coordinates

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override { SeedRandom15(1); }
  void TearDown() override {
    DestroyDrawSurface();
    SetDrawDensity(65535);
  }

  DrawSurface& Make(int width = 640, int height = 480, int bits = 16) {
    EXPECT_EQ(CreateDrawSurface(width, height, bits), 1);
    return *CurrentDrawSurface();
  }
  DrawSurface& S() { return *CurrentDrawSurface(); }

  // Picture pixel (x, y); rows -1 and -2 and columns up to width + 3 are in the bitmap too.
  static uint32_t Pixel(int x, int y) {
    DrawSurface& s = *CurrentDrawSurface();
    const uint8_t* p =
        s.Bits() + (int64_t(s.Height()) - 1 - y) * s.Stride() + int64_t(x) * s.BytesPerPixel();
    uint32_t v = 0;
    std::memcpy(&v, p, size_t(s.BytesPerPixel()));
    return v;
  }
  static void SetPixel(int x, int y, uint32_t v) {
    DrawSurface& s = *CurrentDrawSurface();
    uint8_t* p =
        s.Bits() + (int64_t(s.Height()) - 1 - y) * s.Stride() + int64_t(x) * s.BytesPerPixel();
    std::memcpy(p, &v, size_t(s.BytesPerPixel()));
  }
  static void FillAll(uint8_t byte) {
    DrawSurface& s = *CurrentDrawSurface();
    std::memset(s.Bits(), byte, size_t(s.Stride()) * size_t(s.Height() + 2));
  }
  // The non-zero (or zero) pixels of the whole bitmap, picture rows -2 .. height-1.
  static PixelSet Where(bool nonZero) {
    DrawSurface& s = *CurrentDrawSurface();
    PixelSet set;
    for (int y = -2; y < s.Height(); ++y)
      for (int x = 0; x < s.Width() + 4; ++x)
        if ((Pixel(x, y) != 0) == nonZero) set.insert({x, y});
    return set;
  }
  static PixelSet NonZero() { return Where(true); }
  static PixelSet Zero() { return Where(false); }
};

// Values the generator took since it was seeded with `seed`: the position of its next four
// values in the sequence from `seed`.
inline int RandomDrawsSince(uint32_t seed) {
  int next[4];
  for (int& v : next) v = NextRandom15();
  uint32_t state = seed;
  std::vector<int> seq;
  for (int i = 0; i < 2000000 + 4; ++i) {
    state = state * 214013u + 2531011u;
    seq.push_back(int(state >> 16 & 0x7FFF));
    const size_t n = seq.size();
    if (n >= 4 && seq[n - 4] == next[0] && seq[n - 3] == next[1] && seq[n - 2] == next[2] &&
        seq[n - 1] == next[3])
      return int(n - 4);
  }
  return -1;
}

inline PixelSet Rect(int x0, int y0, int x1, int y1) {  // inclusive corners
  PixelSet set;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) set.insert({x, y});
  return set;
}
