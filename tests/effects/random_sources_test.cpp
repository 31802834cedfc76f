// Random sources: bounds of the bounded draws, table filling and cursor wrap, the dot scatter.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/random_sources.h"
#include "random_control.h"
#include "scene_harness.h"

using random_control::SeedSoRandomIs;

TEST(RandomSources, RandomIntReachesItsBoundOnlyForTheTopDraw) {
  // {draw, n, RandomInt(n)}: 10922 * 3 / 32767 = 0.99997; 100000 must not overflow.
  const int cases[][3] = {{32767, 1, 1}, {32766, 1, 0}, {32767, 0, 0},           {32767, 3, 3},
                          {32766, 3, 2}, {10922, 3, 0}, {32767, 100000, 100000}, {0, 4096, 0}};
  for (const auto& c : cases) {
    SeedSoRandomIs(c[0]);
    EXPECT_EQ(RandomInt(c[1]), c[2]) << "rand " << c[0] << " n " << c[1];
  }
}

TEST(RandomSources, RandomFloatIsSinglePrecisionAndNudgeSpansATenth) {
  // {draw, RandomFloat(2)}: in double precision 513 and 517 would round to the next float up.
  for (auto [draw, value] :
       {std::pair{0, 0.0f}, {513, 0x1.0082p-5f}, {517, 0x1.028204p-5f}, {32767, 2.0f}}) {
    SeedSoRandomIs(draw);
    EXPECT_EQ(RandomFloat(2.0f), value) << draw;
  }
  SeedSoRandomIs(0);
  EXPECT_DOUBLE_EQ(RandomNudge(), -0.1);
  SeedSoRandomIs(32767);
  EXPECT_NEAR(RandomNudge(), 0.1, 1e-12);
}

TEST(RandomSources, FillRandomTablesTakesTwoDrawsPerEntryCubedFirst) {
  ASSERT_TRUE(random_control::SeedSoDrawsFall({{16384, 16384}, {0, 0}}));
  FillRandomTables();
  const double u = 16384 * 3.051850947599719e-05;
  EXPECT_EQ(CubedRandomTable[0], u * u * u);
  EXPECT_EQ(UniformRandomTable[0], 0.0);
  EXPECT_EQ(cubedCursor, 0);
  EXPECT_EQ(uniformCursor, 0);
}

TEST(RandomSources, CursorsWrapAfter16001Reads) {
  SeedRandom15(1);
  FillRandomTables();
  const int first = RandomCubed(1000000);
  const double firstUniform = RandomUniform(1.0);
  for (int i = 1; i < kRandomTableSize; ++i) {
    RandomCubed(1);
    RandomUniform(1.0);
  }
  EXPECT_EQ(cubedCursor, 0);
  EXPECT_EQ(uniformCursor, 0);
  EXPECT_EQ(RandomCubed(1000000), first);  // the 16002nd read uses entry 0 again
  EXPECT_EQ(RandomUniform(1.0), firstUniform);
}

TEST(RandomSources, RadiusPointIsRadiusThenAngleWithSineForX) {
  SeedRandom15(7);
  FillRandomTables();
  for (int i = 0; i < 200; ++i) {
    const int c = cubedCursor;
    const int u = uniformCursor;
    const int r = int(333 * CubedRandomTable[c]);
    const double a = 2000 * kPi * UniformRandomTable[u] * 0.001;
    const PicturePoint p = RandomRadiusPoint(100, -50, 333);
    ASSERT_EQ(p.x, int(std::sin(a) * r) + 100) << i;
    ASSERT_EQ(p.y, int(std::cos(a) * r) - 50) << i;
  }
  // RandomAngle reads the uniform table the same way.
  const int u = uniformCursor;
  EXPECT_EQ(RandomAngle(), 2000 * kPi * UniformRandomTable[u] * 0.001);
}
