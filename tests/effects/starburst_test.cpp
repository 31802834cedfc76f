// Starburst: a start latches the colour and runs for exactly 14 frames; starts do not overlap.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "effects/starburst.h"
#include "scene_harness.h"

TEST(Starburst, RunsExactlyFourteenFrames) {
  for (int level : {0, 2048, 8128}) {
    ASSERT_TRUE(scene_harness::StartScene(640, 480));
    loudness = level;
    FrameColour = {11, 22, 33};
    StartStarburst();
    ASSERT_EQ(starburstActive, 1);
    EXPECT_EQ(starburstColour.green, 22);
    EXPECT_GE(starburstOffsetX, -320);
    EXPECT_LE(starburstOffsetX, 320);
    for (const Star& star : Stars) {
      ASSERT_EQ(star.z, 7.0);
      ASSERT_LE(std::abs(star.x), 240.0);
    }
    int frames = 0;
    while (starburstActive && frames < 100) {
      DrawOverlayPass(kModeStarburst);
      ++frames;
    }
    EXPECT_EQ(frames, 14) << level;
    EXPECT_EQ(Stars[254].z, 0.0);
  }
}

TEST(Starburst, StartWhileRunningChangesNothing) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  StartStarburst();
  DrawOverlayPass(kModeStarburst);
  const Star first = Stars[0];
  const int offsetX = starburstOffsetX;
  FrameColour = {1, 1, 1};
  StartStarburst();
  EXPECT_EQ(Stars[0].x, first.x);
  EXPECT_EQ(Stars[0].z, 6.5);
  EXPECT_EQ(starburstOffsetX, offsetX);
  EXPECT_NE(starburstColour.red, 1);
}

namespace {

// A starburst of one frame on a black 320 x 240 picture: star i at (x, y) after projection at
// depth z, the rest far outside the picture.
void OneFrame(std::initializer_list<std::pair<int, int>> dots, double z, int level) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  for (Star& star : Stars) star = {1e7, 1e7, z};
  int i = 0;
  for (auto [x, y] : dots) Stars[i++] = {(x - 160) * (z + 1), (y - 120) * (z + 1), z};
  starburstOffsetX = starburstOffsetY = 0;
  starburstColour = {65535, 65535, 65535};
  starburstActive = 1;
  loudness = level;
  DrawOverlayPass(kModeStarburst);
}

}  // namespace

TEST(Starburst, DotsWithin32PixelsOfAnEdgeAreSkipped) {
  // {x, y, drawn}: the box is 32..288 across and 32..208 down, both ends included.
  const std::tuple<int, int, bool> cases[] = {
      {288, 100, true}, {289, 110, false}, {32, 120, true}, {31, 130, false},
      {100, 208, true}, {110, 209, false}, {120, 32, true}, {130, 31, false}};
  std::initializer_list<std::pair<int, int>> dots = {{288, 100}, {289, 110}, {32, 120}, {31, 130},
                                                     {100, 208}, {110, 209}, {120, 32}, {130, 31}};
  OneFrame(dots, 7.0, 0);
  for (auto [x, y, drawn] : cases) EXPECT_EQ(scene_harness::Lit(x, y), drawn) << x << "," << y;
}

TEST(Starburst, DotWidthGrowsAsTheStarsComeCloserAndWideDotsAreStippled) {
  // {loudness, z, width}: trunc((loudness / 1000) / (z * z + 1)) + 1.
  for (auto [level, z, width] :
       {std::tuple{8128, 1.0, 5}, {8128, 0.5, 7}, {2048, 1.5, 1}, {2048, 1.0, 2}, {999, 0.5, 1}}) {
    SCOPED_TRACE(testing::Message() << level << " z " << z);
    // Every star on one spot: together they cover the whole dot.
    ASSERT_TRUE(scene_harness::StartScene(320, 240));
    for (Star& star : Stars) star = {0.0, 0.0, z};
    starburstOffsetX = starburstOffsetY = 0;
    starburstColour = {65535, 65535, 65535};
    starburstActive = 1;
    loudness = level;
    DrawOverlayPass(kModeStarburst);
    EXPECT_EQ(DrawDensity(), 15000);
    int left = 320, right = -1;
    for (int x = 140; x < 180; ++x)
      for (int y = 100; y < 140; ++y)
        if (scene_harness::Lit(x, y)) left = std::min(left, x), right = std::max(right, x);
    EXPECT_EQ(right - left + 1, width);
  }
  // One star alone: a 5-pixel dot with only part of its pixels set.
  OneFrame({{160, 120}}, 1.0, 8128);
  int lit = 0;
  for (int x = 150; x < 170; ++x)
    for (int y = 110; y < 130; ++y) lit += scene_harness::Lit(x, y);
  EXPECT_GT(lit, 0);
  EXPECT_LT(lit, 15);
}
