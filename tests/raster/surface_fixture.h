#pragma once
// Helpers for the raster tests: a fresh current surface per test, pixel reads by picture
// coordinates, and the set of pixels a drawing changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <utility>

#include "raster/draw_surface.h"
#include "raster/drawing.h"
#include "raster/random15.h"

using PixelSet = std::set<std::pair<int, int>>;  // (x, y) in picture coordinates

class SurfaceTest : public ::testing::Test {
 protected:
  void TearDown() override {
    DestroyDrawSurface();
    SetDrawDensity(65535);
  }

  static DrawSurface& Make(int width = 640, int height = 480, int bits = 16) {
    EXPECT_EQ(CreateDrawSurface(width, height, bits), 1);
    return *CurrentDrawSurface();
  }
  static DrawSurface& S() { return *CurrentDrawSurface(); }

  // Picture pixel (x, y); rows -1 and -2 and columns up to width + 3 are in the bitmap too.
  static uint32_t Pixel(int x, int y) {
    const int64_t row = int64_t(S().Height()) - 1 - y;
    uint32_t v = 0;
    std::memcpy(&v, S().Bits() + row * S().Stride() + x * S().BytesPerPixel(), S().BytesPerPixel());
    return v;
  }
  static void FillAll(uint8_t byte) {
    std::memset(S().Bits(), byte, size_t(S().Stride()) * size_t(S().Height() + 2));
  }
  // The non-zero (or zero) pixels of the whole bitmap, picture rows -2 .. height-1.
  static PixelSet Where(bool nonZero) {
    PixelSet set;
    for (int y = -2; y < S().Height(); ++y)
      for (int x = 0; x < S().Width() + 4; ++x)
        if ((Pixel(x, y) != 0) == nonZero) set.insert({x, y});
    return set;
  }
  static PixelSet NonZero() { return Where(true); }
  static PixelSet Zero() { return Where(false); }
};

// How many values the generator gave since it was seeded with `seed`: where its next two values
// lie in the sequence from `seed`. Reseeds the generator.
inline int RandomDrawsSince(uint32_t seed) {
  const int a = NextRandom15(), b = NextRandom15();
  SeedRandom15(seed);
  for (int n = 0, previous = NextRandom15(); n < 100000; ++n) {
    const int current = NextRandom15();
    if (previous == a && current == b) return n;
    previous = current;
  }
  return -1;
}

inline PixelSet Rect(int x0, int y0, int x1, int y1) {  // inclusive corners
  PixelSet set;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) set.insert({x, y});
  return set;
}
