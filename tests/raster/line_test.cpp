// The line kernel: exact pixels of spots, thin and thick lines, clipping and stippling.
#include <algorithm>
#include <vector>

#include "raster/line_geometry.h"
#include "surface_fixture.h"

using LineTest = SurfaceTest;

namespace {

// A spot at (x, y): brush row k, from the lowest on screen upwards, leaves insets[k] pixels free
// at each end.
PixelSet Spot(int x, int y, const std::vector<int>& insets) {
  const int w = int(insets.size()), h = w >> 1;
  PixelSet set;
  for (int k = 0; k < w; ++k)
    set.merge(Rect(x - h + insets[k], y + h - k, x - h + w - 1 - insets[k], y + h - k));
  return set;
}

PixelSet operator+(PixelSet a, const PixelSet& b) {
  a.insert(b.begin(), b.end());
  return a;
}

}  // namespace

TEST_F(LineTest, ExactPixelsOfSpotsAndLinesAndWhereTheyAreCut) {
  const std::vector<int> pen5 = {1, 0, 0, 0, 1};
  PixelSet diagonal = Spot(20, 20, {1, 0, 0, 1});  // pen 4 at 45 degrees: 6 wide
  for (int y = 20; y <= 80; ++y) diagonal.merge(Rect(y - 3, y, y + 2, y));
  const struct {
    int pen, x1, y1, x2, y2;
    PixelSet expected;
    int density = 65535;
  } cases[] = {
      {1, 50, 50, 50, 50, {{50, 50}}, 0},  // thin lines ignore the density
      {2, 50, 50, 50, 50, Spot(50, 50, {0, 0})},
      {5, 50, 50, 50, 50, Spot(50, 50, pen5)},
      // From 12 on a circle: rows of 0, 6, 8, 10, 10, 10, 12, 10, 10, 10, 8, 6 pixels.
      {12, 50, 50, 50, 50, Spot(50, 50, {6, 3, 2, 1, 1, 1, 0, 1, 1, 1, 2, 3})},
      // Thin lines step the minor axis late, from whichever end they start.
      {1, 10, 10, 20, 13,
       Rect(10, 10, 13, 10) + Rect(14, 11, 16, 11) + Rect(17, 12, 19, 12) + Rect(20, 13, 20, 13)},
      {1, 20, 13, 10, 10,
       Rect(17, 13, 20, 13) + Rect(14, 12, 16, 12) + Rect(11, 11, 13, 11) + Rect(10, 10, 10, 10)},
      // Thick lines: the start's brush, then row spans from x - half (a 45-degree line walks
      // along y) or column spans from y + half upwards.
      {4, 20, 20, 80, 80, diagonal},
      {5, 50, 60, 40, 60, Spot(50, 60, pen5) + Rect(40, 58, 50, 62)},
      // Clip (1, 1, 158, 118): a line needs an end in the inner box and stops at its edge.
      {1, 0, 60, 159, 60, {}},
      {1, 0, 50, 0, 50, {}},
      {1, 158, 50, 158, 50, {}},
      {1, 157, 117, 157, 117, {{157, 117}}},
      {1, -1000, 60, 100, 60, Rect(1, 60, 100, 60)},
      // Pen 5: the inner box is 3..155 x 3..115.
      {5, 2, 60, 2, 60, {}},
      {5, 3, 60, 3, 60, Spot(3, 60, pen5)},
      {5, 156, 60, 156, 60, {}},
      {5, 155, 60, 155, 60, Spot(155, 60, pen5)},
      {5, 60, 2, 60, 2, {}},
      {5, 60, 3, 60, 3, Spot(60, 3, pen5)},
      {5, 60, 116, 60, 116, {}},
      {5, 60, 115, 60, 115, Spot(60, 115, pen5)},
  };
  Make(160, 120);
  for (const auto& c : cases) {
    FillAll(0);
    SetPenWidth(c.pen);
    SetDrawDensity(c.density);
    SeedRandom15(777);
    DrawLine(c.x1, c.y1, c.x2, c.y2, 65535, 65535, 65535);
    EXPECT_EQ(RandomDrawsSince(777), c.expected.empty() ? 0 : 1) << "case " << &c - cases;
    EXPECT_EQ(NonZero(), c.expected) << "case " << &c - cases;
  }
}

TEST(LineGeometry, ThicknessGrowsOnSlopesExactlyForAny32BitDifferences) {
  const int64_t kFar = 4294967295LL;  // the largest difference of two int coordinates
  const struct {
    int pen;
    int64_t dx, dy;
    int thickness;
  } cases[] = {{31, -7, 7, 44},       {32, 50, -50, 46}, {32, 10, 2, 33},
               {32, 0, -9, 32},       {3, 10, 10, 3},    {12, 0, 0, 12},
               {32, kFar, -kFar, 46}, {32, kFar, 1, 32}, {10, kFar, kFar - 1, 14}};
  for (const auto& c : cases)
    EXPECT_EQ(LineThickness(c.pen, c.dx, c.dy), c.thickness) << c.pen << " " << c.dx << " " << c.dy;
}

TEST_F(LineTest, StippledLinesWriteExactlyWhereTheNoiseIsBelowTheDensity) {
  Make(160, 120);
  SetPenWidth(2);
  SetDrawDensity(16384);
  SeedRandom15(4242);
  const int16_t noise[] = {0, 16383, 16384, 32767, 16384, 100};  // at the density: not written
  std::copy(noise, noise + 6, S().Noise().values + NextRandom15());
  SeedRandom15(4242);
  DrawLine(100, 50, 100, 50, 65535, 65535, 65535);  // brush 2x2 then one span of 2
  EXPECT_EQ(RandomDrawsSince(4242), 1);
  // Visit order: brush rows y=51 then y=50 (left to right), then the span on row 50.
  EXPECT_EQ(NonZero(), (PixelSet{{99, 51}, {100, 51}, {100, 50}}));
  // A long wide line reads more noise than lies after a late random start, so the reading must
  // go on at entry 0, not past the table: everything is drawn, then nothing.
  Make(1000, 1000);
  SetPenWidth(32);
  SetDrawDensity(1);
  for (int16_t value : {0, 32767}) {
    for (auto& v : S().Noise().values) v = value;
    FillAll(0);
    SeedRandom15(184000000);                          // reading starts at 32567
    DrawLine(30, 30, 960, 960, 65535, 65535, 65535);  // brush + about 930 spans of 46
    EXPECT_EQ(NonZero().empty(), value != 0);
  }
}
