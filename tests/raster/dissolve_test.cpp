// The dissolve: rows, columns, clamping, random draws, and the same pixels at every depth.
#include "surface_fixture.h"

using DissolveTest = SurfaceTest;

TEST_F(DissolveTest, ClearsExactlyTheClampedRectangleShiftedUpOneRowWithOneValuePerRow) {
  Make(64, 48);  // clip (1, 1, 62, 46)
  SeedRandom15(31);
  const int first = NextRandom15(), second = NextRandom15();
  for (int i = 0; i < 50; i += 7) S().Noise().values[first + i] = 16384;  // at the density: kept
  PixelSet stippled;  // rows 21 then 20, each from its own random start in the noise
  for (int i = 0; i < 50; ++i) {
    if (S().Noise().values[first + i] < 16384) stippled.insert({10 + i, 21});
    if (S().Noise().values[second + i] < 16384) stippled.insert({10 + i, 20});
  }
  const struct {
    int left, top, right, bottom, density, draws;
    PixelSet cleared;
  } cases[] = {
      // Columns 1..62: one past the clip rectangle's right edge, which the bitmap's margin holds.
      {0, 0, 64, 48, 32768, 46, Rect(1, 0, 62, 45)},
      {0, 0, 64, 48, 0, 46, {}},
      {0, 0, 64, 48, -5, 46, {}},
      {10, 21, 59, 22, 16384, 2, stippled},
      {70, 0, 80, 48, 40000, 46, Rect(62, 0, 62, 45)},  // clamped to (62, 1, 62, 46)
      {10, 30, 20, 20, 40000, 0, {}},                   // bottom above top: no rows
      {50, 10, 40, 20, 40000, 11, {}},                  // left beyond right: no columns
      {65536 + 10, 65536 + 10, 65536 + 12, 65536 + 11, 40000, 2, Rect(10, 9, 12, 10)},  // 16 bits
  };
  SetDrawDensity(777);
  for (const auto& c : cases) {
    FillAll(0xFF);
    SeedRandom15(31);
    DissolveRect(c.left, c.top, c.right, c.bottom, c.density);
    EXPECT_EQ(RandomDrawsSince(31), c.draws) << "case " << &c - cases;
    EXPECT_EQ(Zero(), c.cleared) << "case " << &c - cases;
  }
  EXPECT_EQ(DrawDensity(), 777);  // the dissolve has a density of its own
}

// The kernels are one algorithm for every depth: stippled lines of many pens, then dissolves.
TEST_F(DissolveTest, AllDepthsDrawAndClearTheSamePixels) {
  auto picture = [](int bits) {
    SeedRandom15(99);
    Make(200, 150, bits);
    SetDrawDensity(20000);
    for (int pen : {1, 3, 7, 12, 20, 32, 1, 3, 7, 12, 20, 32}) {
      SetPenWidth(pen);
      const int x1 = NextRandom15() % 260 - 30, y1 = NextRandom15() % 200 - 25;
      DrawLine(x1, y1, NextRandom15() % 260 - 30, NextRandom15() % 200 - 25, 65535, 65535, 65535);
    }
    const PixelSet drawn = NonZero();
    FillAll(0xFF);
    DissolveRect(0, 0, 200, 150, 9000);
    DissolveRect(7, 3, 150, 90, 30000);
    return std::pair{drawn, Zero()};
  };
  const auto p16 = picture(16);
  EXPECT_GT(p16.first.size(), 1000u);
  EXPECT_EQ(picture(8), p16);
  EXPECT_EQ(picture(32), p16);
}
