// The dissolve: rows, columns, clamping, random draws, and the fast rows against the rule.
#include "raster/dissolve_kernel.h"
#include "surface_fixture.h"

namespace {
class DissolveTest : public SurfaceTest {};
}  // namespace

TEST_F(DissolveTest, OneValuePerRowAndFullDensityClearsTheClipShiftedUpOneRow) {
  Make();  // clip (1, 1, 638, 478)
  FillAll(0xFF);
  for (int density : {0, -5}) {  // change nothing
    SeedRandom15(31);
    DissolveRect(0, 0, 640, 480, density);
    EXPECT_EQ(RandomDrawsSince(31), 478) << density;
  }
  EXPECT_TRUE(Zero().empty());
  SetDrawDensity(777);
  SeedRandom15(31);
  DissolveRect(0, 0, 640, 480, 40000);
  EXPECT_EQ(Zero(), Rect(1, 0, 638, 477));
  EXPECT_EQ(RandomDrawsSince(31), 478);
  EXPECT_EQ(DrawDensity(), 777);  // put back
}

TEST_F(DissolveTest, RectangleIsClampedIntoTheClip) {
  Make();
  FillAll(0xFF);
  DissolveRect(700, 0, 800, 480, 40000);  // becomes (638, 1, 638, 478)
  EXPECT_EQ(Zero(), Rect(638, 0, 638, 477));
  FillAll(0xFF);
  SeedRandom15(8);
  DissolveRect(10, 300, 20, 200, 40000);  // bottom < top
  EXPECT_TRUE(Zero().empty());
  EXPECT_EQ(RandomDrawsSince(8), 0);
  // Left beyond right: no columns, but still one random value per row.
  SeedRandom15(8);
  DissolveRect(50, 10, 40, 20, 40000);
  EXPECT_TRUE(Zero().empty());
  EXPECT_EQ(RandomDrawsSince(8), 11);
  // Values are taken as 16-bit: 65536 + 10 is 10.
  DissolveRect(65536 + 10, 65536 + 10, 65536 + 12, 65536 + 11, 40000);
  EXPECT_EQ(Zero(), Rect(10, 9, 12, 10));
}

TEST_F(DissolveTest, EachRowReadsTheNoiseFromItsOwnRandomStart) {
  Make();
  FillAll(0xFF);
  SeedRandom15(55);
  const int first = NextRandom15(), second = NextRandom15();
  SeedRandom15(55);
  DissolveRect(100, 51, 199, 52, 16384);  // rows 51 then 50, columns 100..199
  PixelSet expected;
  const NoiseTable& noise = S().Noise();
  for (int i = 0; i < 100; ++i) {
    if (noise.values[first + i] < 16384) expected.insert({100 + i, 51});
    if (noise.values[second + i] < 16384) expected.insert({100 + i, 50});
  }
  EXPECT_EQ(Zero(), expected);
}

TEST_F(DissolveTest, HalfDensityClearsAboutHalfThenAQuarterRemains) {
  Make();
  FillAll(0xFF);
  DissolveRect(0, 0, 640, 480, 16384);
  const double covered = 638.0 * 478;
  const double cleared = double(Zero().size());
  EXPECT_NEAR(cleared / covered, 0.5, 0.02);
  DissolveRect(0, 0, 640, 480, 16384);
  const double left = (covered - double(Zero().size())) / covered;
  EXPECT_NEAR(left, 0.25, 0.02);
}

TEST_F(DissolveTest, AllDepthsClearTheSamePixels) {
  auto cleared = [this](int bits) {
    SeedRandom15(3);
    Make(301, 97, bits);
    FillAll(0xFF);
    DissolveRect(0, 0, 301, 97, 9000);
    DissolveRect(7, 3, 200, 90, 30000);
    PixelSet set = Zero();
    DestroyDrawSurface();
    return set;
  };
  const PixelSet z16 = cleared(16);
  EXPECT_EQ(cleared(8), z16);
  EXPECT_EQ(cleared(32), z16);
}

TEST(DissolveRows, FastRowsMatchThePlainRuleBitForBit) {
  std::vector<int16_t> noise(600);
  uint32_t state = 9;
  for (auto& v : noise) v = int16_t((state = state * 214013u + 2531011u) >> 16 & 0x7FFF);
  noise[5] = 0;
  noise[6] = 32767;
  for (int16_t density : {1, 2, 100, 16384, 32766, 32767}) {
    for (int count : {0, 1, 7, 8, 9, 15, 16, 17, 31, 33, 500}) {
      for (int offset : {0, 1, 3}) {
        // Same rows through the fast and the plain kernel, for one pixel type.
        auto check = [&](auto pixel, uint32_t mul) {
          std::vector<decltype(pixel)> fast(600), plain(600);
          for (size_t i = 0; i < 600; ++i)
            plain[i] = fast[i] = decltype(pixel)(uint32_t(i) * mul + 1) | 1;
          raster_detail::ClearWhereNoiseBelow(fast.data() + offset, noise.data() + offset, count,
                                              density);
          raster_detail::ClearWhereNoiseBelowScalar(plain.data() + offset, noise.data() + offset,
                                                    count, density);
          ASSERT_EQ(fast, plain) << sizeof pixel << " bytes " << density << " " << count;
        };
        check(uint8_t(), 7);
        check(uint16_t(), 131);
        check(uint32_t(), 2654435761u);
      }
    }
  }
}
