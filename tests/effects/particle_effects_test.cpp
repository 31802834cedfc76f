// Particle burst, cluster bloom, spark fan and starburst: when they start, their bounds, and the
// starburst's dots.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "effects/spark_fan.h"
#include "random_control.h"
#include "scene_harness.h"

TEST(ParticleBurst, OnlyABeatAfterTheLastBurstStartsANewOne) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  Scene.beatFlag = 1;
  Scene.loudness = 8128;
  // {size left, dots}: a running burst goes on; one that has died out restarts at 8128 / 4 + 200.
  for (auto [size, dots] : {std::pair{300, 300u}, {0, 2232u}}) {
    Scene.burstSize = size;
    const uint64_t before = Scene.cloudDotCount;
    DrawParticleBurst();
    EXPECT_EQ(Scene.cloudDotCount - before, dots) << size;
  }
}

TEST(ClusterBloom, SeriesLengthIsBoundedOnlyBelowPlayingLoudness) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  Scene.bassCue = 4064 * 31 / 10;  // the strongest bass
  Scene.loudness = 2048;           // the quietest a playing host gives
  DrawClusterBloom();
  EXPECT_EQ(Scene.clusterSteps + 1, 123);  // unbounded: 12598 * 20 / 2048
  Scene.clusterSteps = 0;
  Scene.loudness = 0;  // a waveform pinned at -128
  DrawClusterBloom();
  EXPECT_EQ(Scene.clusterSteps + 1, kMaxClusterSteps);
}

TEST(SparkFan, FirstChordStartsOnRayOneAndLimitsItsLevel) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  scene_harness::FillSamples(200, 200);
  Scene.beatMultiplier = 2;
  Scene.particleBurstActive = 1;
  Scene.BandLevels[64] = 500;  // left by a wider analysis
  // Draws: burst check, rotation, then stroke 0's kind: 20000 makes it a chord.
  ASSERT_TRUE(random_control::SeedSoDrawsFall({{0, 32767}, {0, 32767}, {20000, 20000}}));
  DrawSparkFan();
  EXPECT_EQ(Scene.BandLevels[64], 100);
  EXPECT_EQ(Scene.BandLevels[0], 199 * 16 / 3);
  EXPECT_EQ(Scene.BandLevels[2], 199 * 16 / 2);
  EXPECT_EQ(Scene.BandLevels[63], 199 * 16);  // beyond the strokes: as analysed
}

TEST(Starburst, StartsAboveLoudness6000OnABeatWithOneDrawInFive) {
  // {loudness, beat, allowed, draw, starts}: draw 6553 is RandomInt(10) = 1, below 2; 6554 is 2.
  // The number is drawn only when everything else allows a start.
  const int cases[][5] = {{6000, 1, 1, 6553, 0},
                          {6001, 1, 1, 6553, 1},
                          {7000, 1, 1, 6554, 0},
                          {8128, 0, 1, 0, 0},
                          {8128, 1, 0, 0, 0}};
  for (const auto& c : cases) {
    ASSERT_TRUE(scene_harness::StartScene(640, 480));
    Scene.loudness = c[0];
    Scene.beatFlag = c[1];
    Scene.starburstAllowed = c[2];
    ASSERT_TRUE(random_control::SeedSoDrawsFall({{c[3], c[3]}, {30000, 32767}}));
    ConsiderStarburst();
    EXPECT_EQ(Scene.starburstActive, c[4]) << c[0] << " " << c[1] << " " << c[2];
    const bool drawn = c[0] > 6000 && c[1] && c[2];
    EXPECT_EQ(NextRandom15() >= 30000, drawn);
  }
}

namespace {

// A starburst frame on a black 320 x 240 picture with the stars spread over `dots` (in the
// picture after projection at depth z), white, at `level` loudness.
void OneFrame(const std::vector<std::pair<int, int>>& dots, double z, int level) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  for (int i = 0; i < kStarCount; ++i) {
    const auto [x, y] = dots[i % dots.size()];
    Scene.Stars[i] = {(x - 160) * (z + 1), (y - 120) * (z + 1), z};
  }
  Scene.starburstColour = {65535, 65535, 65535};
  Scene.starburstActive = 1;
  Scene.loudness = level;
  DrawOverlayPass(kModeStarburst);
}

}  // namespace

TEST(Starburst, DotsWithin32PixelsOfAnEdgeAreSkipped) {
  // The box is 32..288 across and 32..208 down, both ends included: on each edge a dot (drawn),
  // then one just outside it (skipped).
  const std::vector<std::pair<int, int>> dots = {{288, 100}, {289, 110}, {32, 120}, {31, 130},
                                                 {100, 208}, {110, 209}, {120, 32}, {130, 31}};
  OneFrame(dots, 7.0, 0);
  for (size_t i = 0; i < dots.size(); ++i)
    EXPECT_EQ(scene_harness::Lit(dots[i].first, dots[i].second), i % 2 == 0) << i;
}

TEST(Starburst, DotWidthGrowsAsTheStarsComeCloserAndWideDotsAreStippled) {
  // {loudness, z, width}: trunc((loudness / 1000) / (z * z + 1)) + 1; every star on one spot, so
  // that together they cover the whole stippled dot.
  for (auto [level, z, width] :
       {std::tuple{8128, 1.0, 5}, {8128, 0.5, 7}, {2048, 1.5, 1}, {2048, 1.0, 2}, {999, 0.5, 1}}) {
    SCOPED_TRACE(testing::Message() << level << " z " << z);
    OneFrame({{160, 120}}, z, level);
    EXPECT_EQ(DrawDensity(), 15000);
    int left = 320, right = -1;
    for (int x = 140; x < 180; ++x)
      for (int y = 100; y < 140; ++y)
        if (scene_harness::Lit(x, y)) left = std::min(left, x), right = std::max(right, x);
    EXPECT_EQ(right - left + 1, width);
  }
}
