// Scene driver and random sources: effect choice, petal redraws, any picture size; the bounded
// draws.
#include <gtest/gtest.h>

#include <utility>

#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "random_control.h"
#include "raster/surface_fixture.h"
#include "scene_harness.h"

TEST(ChooseNewEffect, EachDrawDecidesOneChoiceInOrder) {
  // rand() ranges: RandomInt(2) is 1 from 16384; RandomInt(3) gives 1 from 10923 and 2 from
  // 21845; RandomInt(100) is 45 from 14746 to 15072 and 33 from 10814 to 11140.
  constexpr std::pair<int, int> kLow{0, 1000}, kHigh{25000, 32766}, kMid{12000, 20000};
  struct Case {
    std::pair<int, int> held, mode, overlay, fan, star;
    int wantHeld, wantMode, wantOverlay, wantFan, wantStar, draws;
  };
  const Case cases[] = {
      {kLow, kMid, kHigh, {14746, 15072}, kHigh, 1, kModeEmitterSwarmCentre, 0, 1, 0, 5},
      {kHigh, kHigh, kHigh, kHigh, {10814, 11140}, 0, kModeEmitterSwarmAnywhere, 1, 0, 1, 5},
      {kLow, kHigh, kLow, kLow, kHigh, 1, kModeEmitterSwarmAnywhere, 0, 1, 0, 5},
      {kLow, kLow, kHigh, kLow, kHigh, 1, kModeScatterClouds, 1, 1, 1, 4},  // no starburst draw
      {kHigh, {32767, 32767}, kHigh, kLow, kLow, 0, kModeClusterBloom, 1, 0, 0, 5},
  };
  for (const Case& c : cases) {
    ResetSceneToLoadState();
    const auto seed = random_control::SeedSoDrawsFall({c.held, c.mode, c.overlay, c.fan, c.star});
    ASSERT_TRUE(seed);
    Scene.ringPhase = 1.0;
    ChooseNewEffect();
    SCOPED_TRACE(testing::Message() << "mode " << c.wantMode);
    EXPECT_EQ(Scene.burstColourHeld, c.wantHeld);
    EXPECT_EQ(Scene.DrawingMode, c.wantMode);
    EXPECT_EQ(Scene.emitterOverlay, c.wantOverlay);
    EXPECT_EQ(Scene.sparkFanEnabled, c.wantFan);
    EXPECT_EQ(Scene.starburstAllowed, c.wantStar);
    EXPECT_EQ(Scene.ringPhase, 0.0);
    EXPECT_EQ(RandomDrawsSince(*seed), c.draws);
  }
}

TEST(DrawScene, PetalFrequencyIsRedrawnWhenTheDrawIsAtMost327) {
  ASSERT_TRUE(scene_harness::StartScene(16, 16));
  // {first draw, new frequency}: RandomInt(1000) < 10 up to 327; then RandomInt(10) + 1 from
  // the next draw (16384..19660 gives 5).
  for (auto [draw, frequency] : {std::pair{327, 6.0}, {328, 2.0}, {0, 6.0}}) {
    Scene.petalFrequency = 2.0;
    ASSERT_TRUE(random_control::SeedSoDrawsFall({{draw, draw}, {16384, 19660}}));
    DrawOverlayPass(kModeStarburst + 1);  // no effect of its own: only the redraw
    EXPECT_EQ(Scene.petalFrequency, frequency) << draw;
  }
}

TEST(DrawScene, EveryModeIsSoundForAnyPictureSize) {
  const int sizes[][2] = {{0, 0}, {1, 1}, {7, 3}};
  const int modes[] = {kModePetalRing, kModeScatterClouds, kModeEmitterSwarmCentre,
                       kModeClusterBloom, kModeEmitterSwarmAnywhere};
  for (const auto& size : sizes) {
    for (int mode : modes) {
      SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1] << " mode " << mode);
      ASSERT_TRUE(scene_harness::StartScene(size[0], size[1]));
      Scene.DrawingMode = mode;
      Scene.emitterOverlay = Scene.sparkFanEnabled = Scene.starburstAllowed = 1;
      for (int frame = 0; frame < 6; ++frame) {
        scene_harness::FillMusic(frame, frame % 2 == 0);
        Scene.particleBurstActive = 1;
        DrawSceneFrame();
      }
    }
  }
}

TEST(RandomSources, RandomIntReachesItsBoundOnlyForTheTopDraw) {
  // {draw, n, RandomInt(n)}: 10922 * 3 / 32767 = 0.99997; 100000 must not overflow.
  const int cases[][3] = {{32767, 1, 1}, {32766, 1, 0}, {32767, 0, 0},           {32767, 3, 3},
                          {32766, 3, 2}, {10922, 3, 0}, {32767, 100000, 100000}, {0, 4096, 0}};
  for (const auto& c : cases) {
    random_control::SeedSoDrawsFall({{c[0], c[0]}});
    EXPECT_EQ(RandomInt(c[1]), c[2]) << "rand " << c[0] << " n " << c[1];
  }
}

TEST(RandomSources, RandomFloatIsSinglePrecision) {
  // {draw, RandomFloat(2)}: in double precision 513 and 517 would round to the next float up.
  for (auto [draw, value] :
       {std::pair{0, 0.0f}, {513, 0x1.0082p-5f}, {517, 0x1.028204p-5f}, {32767, 2.0f}}) {
    random_control::SeedSoDrawsFall({{draw, draw}});
    EXPECT_EQ(RandomFloat(2.0f), value) << draw;
  }
}
