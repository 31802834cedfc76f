// The line kernel: exact pixels of spots, thin and thick lines, clipping and stippling.
#include <cmath>
#include <string>

#include "raster/line_geometry.h"
#include "surface_fixture.h"

namespace {

constexpr uint16_t kFull = 65535;

class LineTest : public SurfaceTest {};

PixelSet Spot(int x, int y, const std::vector<int>& insets) {
  const int w = int(insets.size()), h = w >> 1;
  PixelSet set;
  for (int k = 0; k < w; ++k)
    for (int c = x - h + insets[k]; c <= x - h + w - 1 - insets[k]; ++c) set.insert({c, y + h - k});
  return set;
}

}  // namespace

TEST_F(LineTest, SpotsHaveTheBrushShapeOfEveryPenWidth) {
  const std::vector<std::vector<int>> insets = {
      {0, 0},
      {1, 0, 1},
      {1, 0, 0, 1},
      {1, 0, 0, 0, 1},
      {1, 0, 0, 0, 0, 1},
      {2, 1, 0, 0, 0, 1, 2},
      {2, 1, 0, 0, 0, 0, 1, 2},
      {3, 1, 1, 0, 0, 0, 1, 1, 3},
      {3, 1, 1, 0, 0, 0, 0, 1, 1, 3},
      {4, 2, 1, 1, 0, 0, 0, 1, 1, 2, 4},
      // Square-root rule from 12 on: rows of 0, 6, 8, 10, 10, 10, 12, 10, 10, 10, 8, 6 pixels.
      {6, 3, 2, 1, 1, 1, 0, 1, 1, 1, 2, 3},
      // 16: rows of 0 6 10 12 12 14 14 14 16 14 14 14 12 12 10 6 pixels.
      {8, 5, 3, 2, 2, 1, 1, 1, 0, 1, 1, 1, 2, 2, 3, 5},
  };
  Make();
  for (const auto& brush : insets) {
    const int w = int(brush.size());
    FillAll(0);
    SetPenWidth(w);
    DrawLine(100, 100, 100, 100, kFull, kFull, kFull);
    EXPECT_EQ(NonZero(), Spot(100, 100, brush)) << "pen width " << w;
  }
  // Pen 1 is one pixel.
  FillAll(0);
  SetPenWidth(1);
  SetDrawDensity(0);  // thin lines ignore the density
  DrawLine(100, 100, 100, 100, kFull, kFull, kFull);
  EXPECT_EQ(NonZero(), (PixelSet{{100, 100}}));
}

TEST_F(LineTest, ThinLineStepsTheMinorAxisLate) {
  Make();
  DrawLine(10, 10, 20, 13, kFull, 0, 0);
  const int rows[] = {10, 10, 10, 10, 11, 11, 11, 12, 12, 12, 13};  // for columns 10..20
  PixelSet expected;
  for (int i = 0; i < 11; ++i) expected.insert({10 + i, rows[i]});
  EXPECT_EQ(NonZero(), expected);
  EXPECT_EQ(Pixel(10, 10), 0x7C00u);
  // Drawn from the other end the rounding runs the other way, from (20, 13).
  FillAll(0);
  DrawLine(20, 13, 10, 10, kFull, 0, 0);
  EXPECT_TRUE(NonZero().count({19, 13}));
  EXPECT_TRUE(NonZero().count({10, 10}));
}

TEST_F(LineTest, ThicknessGrowsOnSlopes) {
  EXPECT_EQ(LineThickness(4, 100, 100), 6);
  EXPECT_EQ(LineThickness(10, -7, 7), 14);
  EXPECT_EQ(LineThickness(32, 50, -50), 46);
  EXPECT_EQ(LineThickness(32, 50, 0), 32);
  EXPECT_EQ(LineThickness(32, 0, -9), 32);
  EXPECT_EQ(LineThickness(3, 10, 10), 3);
  EXPECT_EQ(LineThickness(12, 0, 0), 12);
  // 32-bit coordinate extremes: exact, not overflowed (a 45-degree line still gets 1.43x).
  EXPECT_EQ(LineThickness(32, 4294967295LL, -4294967295LL), 46);
  EXPECT_EQ(LineThickness(32, 4294967295LL, 1), 32);
  EXPECT_EQ(LineThickness(10, 4294967295LL, 4294967294LL), 14);
  EXPECT_EQ(ScaledRatio(UINT64_MAX - 1, UINT64_MAX, 55), 54u);
  EXPECT_EQ(ScaledRatio(UINT64_MAX, UINT64_MAX, 55), 55u);
}

TEST_F(LineTest, DiagonalThickLineIsHorizontalSpansPlusTheStartBrush) {
  Make();
  SetPenWidth(4);
  DrawLine(100, 100, 200, 200, kFull, kFull, kFull);
  PixelSet expected = Spot(100, 100, {1, 0, 0, 1});
  for (int y = 100; y <= 200; ++y)
    for (int x = y - 3; x <= y + 2; ++x) expected.insert({x, y});
  EXPECT_EQ(NonZero(), expected);
}

TEST_F(LineTest, LevelThickLineIsColumnSpansFromBelow) {
  Make();
  SetPenWidth(5);
  DrawLine(50, 60, 40, 60, 0, kFull, 0);  // leftwards, no widening
  PixelSet expected = Spot(50, 60, {1, 0, 0, 0, 1});
  for (int x = 40; x <= 50; ++x)
    for (int y = 58; y <= 62; ++y) expected.insert({x, y});
  EXPECT_EQ(NonZero(), expected);
  EXPECT_EQ(Pixel(45, 60), 0x03E0u);
}

TEST_F(LineTest, OnlyLinesWithAnEndInTheInnerBoxAreDrawnAndTheyStopAtItsEdge) {
  Make();                                           // clip (1, 1, 638, 478)
  DrawLine(0, 240, 639, 240, kFull, kFull, kFull);  // crosses the picture, both ends out
  DrawLine(639, 240, 0, 240, kFull, kFull, kFull);
  EXPECT_TRUE(NonZero().empty());
  DrawLine(0, 50, 0, 50, kFull, kFull, kFull);
  DrawLine(638, 50, 638, 50, kFull, kFull, kFull);
  EXPECT_TRUE(NonZero().empty());
  DrawLine(637, 477, 637, 477, kFull, kFull, kFull);
  EXPECT_EQ(NonZero(), (PixelSet{{637, 477}}));
  FillAll(0);
  DrawLine(-1000, 240, 600, 240, kFull, kFull, kFull);  // from (600, 240) to column 1
  EXPECT_EQ(NonZero(), Rect(1, 240, 600, 240));
  // Pen width 10: points only in 6..632 x 6..472 (L + 5 .. R - 6, T0 + 5 .. B - 6).
  FillAll(0);
  SetPenWidth(10);
  for (int p : {5, 6}) DrawLine(p, 100, p, 100, kFull, kFull, kFull);
  for (int p : {633, 632}) DrawLine(p, 100, p, 100, kFull, kFull, kFull);
  for (int p : {5, 6}) DrawLine(100, p, 100, p, kFull, kFull, kFull);
  for (int p : {473, 472}) DrawLine(100, p, 100, p, kFull, kFull, kFull);
  const PixelSet drawn = NonZero();
  EXPECT_EQ(drawn.size(), 4 * Spot(0, 0, {3, 1, 1, 0, 0, 0, 0, 1, 1, 3}).size());
  EXPECT_TRUE(drawn.count({6, 100}) && drawn.count({632, 100}));
  EXPECT_TRUE(drawn.count({100, 6}) && drawn.count({100, 472}));
}

TEST_F(LineTest, EveryDrawnLineTakesExactlyOneRandomValue) {
  Make();
  struct Case {
    int pen, density, x1, y1, x2, y2, draws;
  } cases[] = {
      {1, 65535, 10, 10, 300, 20, 1},   {1, 0, 10, 10, 10, 10, 1},
      {12, 65535, 50, 50, 400, 300, 1}, {12, 100, 50, 50, 400, 300, 1},
      {12, 0, 50, 50, 400, 300, 1},     {1, 65535, -5, -5, 900, 900, 0},
      {32, 65535, 5, 5, 5, 5, 0},  // start outside the inner box of a wide pen
  };
  for (const Case& c : cases) {
    FillAll(0);
    SetPenWidth(c.pen);
    SetDrawDensity(c.density);
    SeedRandom15(777);
    DrawLine(c.x1, c.y1, c.x2, c.y2, kFull, kFull, kFull);
    EXPECT_EQ(RandomDrawsSince(777), c.draws) << "pen " << c.pen << " density " << c.density;
    if (c.density == 0 && c.pen > 1) {
      EXPECT_TRUE(NonZero().empty());
    }
  }
}

TEST_F(LineTest, StippledLineWritesExactlyWhereTheNoiseIsBelowTheDensity) {
  Make();
  NoiseTable& noise = S().Noise();
  SetPenWidth(2);
  SetDrawDensity(16384);
  SeedRandom15(4242);
  const int start = NextRandom15();
  SeedRandom15(4242);
  DrawLine(300, 200, 300, 200, kFull, kFull, kFull);  // brush 2x2 then one span of 2
  // Visit order: brush rows y=201 then y=200 (left to right), then the span on row 200.
  const std::pair<int, int> visits[] = {{299, 201}, {300, 201}, {299, 200},
                                        {300, 200}, {299, 200}, {300, 200}};
  PixelSet expected;
  for (int i = 0; i < 6; ++i)
    if (noise.values[start + i] < 16384) expected.insert(visits[i]);
  EXPECT_EQ(NonZero(), expected);
}

TEST_F(LineTest, StippleReadingWrapsToTheTableStart) {
  Make(1000, 1000);
  // A noise table that is zero except for its last entries: the line's reading runs off the
  // end and must continue at entry 0, not past the table.
  NoiseTable& noise = S().Noise();
  for (auto& v : noise.values) v = 0;
  SetPenWidth(32);
  SetDrawDensity(1);
  // Long 45-degree line: brush + 46 * ~900 spans needs more than 65536 - 32767 values.
  DrawLine(30, 30, 960, 960, kFull, kFull, kFull);
  const size_t written = NonZero().size();
  EXPECT_GT(written, 0u);
  for (auto& v : noise.values) v = 32767;  // nothing below density 1
  FillAll(0);
  DrawLine(30, 30, 960, 960, kFull, kFull, kFull);
  EXPECT_TRUE(NonZero().empty());
}

TEST_F(LineTest, ColourIsPackedForEachDepth) {
  const struct {
    int bits;
    uint16_t r, g, b;
    uint32_t pixel;
  } cases[] = {
      {16, 65535, 0, 0, 0x7C00},
      {16, 0, 65535, 0, 0x03E0},
      {16, 0, 0, 65535, 0x001F},
      {16, 2047, 2047, 2047, 0},
      {16, 0x8800, 0x4000, 0x2000, (17u << 10) | (8u << 5) | 4u},
      {32, 65535, 32768, 255, 0x00FF8000},
      {8, 0x3456, 0xFFFF, 0xFFFF, 0x34},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits " << c.r << " " << c.g << " " << c.b);
    Make(64, 64, c.bits);
    DrawLine(10, 10, 10, 10, c.r, c.g, c.b);
    EXPECT_EQ(Pixel(10, 10), c.pixel);
    DestroyDrawSurface();
  }
}

TEST_F(LineTest, AllDepthsDrawTheSamePixels) {
  auto picture = [this](int bits) {
    SeedRandom15(99);
    Make(200, 150, bits);
    SetDrawDensity(20000);
    int pens[] = {1, 3, 7, 12, 20, 32};
    for (int i = 0; i < 60; ++i) {
      SetPenWidth(pens[i % 6]);
      DrawLine(NextRandom15() % 260 - 30, NextRandom15() % 200 - 25, NextRandom15() % 260 - 30,
               NextRandom15() % 200 - 25, kFull, kFull, kFull);
    }
    PixelSet set = NonZero();
    DestroyDrawSurface();
    return set;
  };
  const PixelSet p16 = picture(16);
  EXPECT_GT(p16.size(), 1000u);
  EXPECT_EQ(picture(8), p16);
  EXPECT_EQ(picture(32), p16);
}
