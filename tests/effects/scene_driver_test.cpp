// Scene driver: effect choice, beat state in main and overlay passes, ring phase, petal redraws.
#include <gtest/gtest.h>

#include <utility>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "random_control.h"
#include "scene_harness.h"

TEST(ChooseNewEffect, EachDrawDecidesOneChoiceInOrder) {
  // rand() ranges: RandomInt(2) is 1 from 16384; RandomInt(3) gives 1 from 10923 and 2 from
  // 21845; RandomInt(100) <= 45 up to 15072 and <= 33 up to 11140.
  constexpr std::pair<int, int> kLow{0, 1000}, kHigh{25000, 32766}, kMid{12000, 20000};
  struct Case {
    std::pair<int, int> held, mode, overlay, fan, star;
    int wantHeld, wantMode, wantOverlay, wantFan, wantStar, draws;
  };
  const Case cases[] = {
      {kLow, kMid, kHigh, kLow, kHigh, 1, kModeEmitterSwarmCentre, 0, 1, 0, 5},
      {kHigh, kHigh, kHigh, kHigh, kLow, 0, kModeEmitterSwarmAnywhere, 1, 0, 1, 5},
      {kLow, kHigh, kLow, kLow, kHigh, 1, kModeEmitterSwarmAnywhere, 0, 1, 0, 5},
      {kLow, kLow, kHigh, kLow, kHigh, 1, kModeScatterClouds, 1, 1, 1, 4},  // no starburst draw
      {kHigh, {32767, 32767}, kHigh, kLow, kLow, 0, kModeClusterBloom, 1, 0, 0, 5},
  };
  for (const Case& c : cases) {
    ResetSceneToLoadState();
    ASSERT_TRUE(random_control::SeedSoDrawsFall({c.held, c.mode, c.overlay, c.fan, c.star}));
    int draws[6];
    for (int& d : draws) d = NextRandom15();
    ASSERT_TRUE(random_control::SeedSoDrawsFall({c.held, c.mode, c.overlay, c.fan, c.star}));
    ringPhase = 1.0;
    ChooseNewEffect();
    SCOPED_TRACE(testing::Message() << "mode " << c.wantMode << " draws " << draws[0] << " "
                                    << draws[1] << " " << draws[2] << " " << draws[3]);
    EXPECT_EQ(burstColourHeld, c.wantHeld);
    EXPECT_EQ(DrawingMode, c.wantMode);
    EXPECT_EQ(emitterOverlay, c.wantOverlay);
    EXPECT_EQ(sparkFanEnabled, c.wantFan);
    EXPECT_EQ(starburstAllowed, c.wantStar);
    EXPECT_EQ(ringPhase, 0.0);
    EXPECT_EQ(NextRandom15(), draws[c.draws]);
  }
}

TEST(DrawScene, BeatHoldFallsOnlyInMainPasses) {
  ASSERT_TRUE(scene_harness::StartScene(64, 48));
  DrawingMode = kModeScatterClouds;
  beatFlag = 1;
  DrawOverlayPass(kModeEmitterSwarmCentre);
  EXPECT_EQ(beatHold, 3);  // a beat in an overlay pass sets it like a main pass
  EXPECT_EQ(beatMultiplier, 2);
  beatFlag = 0;
  for (int expected : {2, 1, 0, 0}) {
    DrawOverlayPass(kModeEmitterSwarmCentre);
    DrawOverlayPass(kModeEmitterSwarmCentre);
    DrawScene();
    EXPECT_EQ(beatHold, expected);
    EXPECT_EQ(beatMultiplier, 1);
  }
}

TEST(DrawScene, ScatterCloudsRestoreTheBeatMultiplier) {
  ASSERT_TRUE(scene_harness::StartScene(64, 48));
  DrawingMode = kModeScatterClouds;
  beatFlag = 1;
  DrawScene();
  EXPECT_EQ(beatMultiplier, 2);  // the spark fan after the scene sees the beat
  EXPECT_EQ(particleBurstActive, 1);
}

TEST(DrawScene, RingPhaseWrapsAfter126MainFrames) {
  ASSERT_TRUE(scene_harness::StartScene(64, 48));
  scene_harness::FillSamples(0, 128);
  for (int i = 0; i < 125; ++i) DrawScene();
  EXPECT_NEAR(ringPhase, 125 * 0.05, 1e-9);
  DrawScene();
  EXPECT_EQ(ringPhase, 0.0);
  DrawingMode = kModeScatterClouds;
  DrawScene();
  EXPECT_EQ(ringPhase, 0.0);  // only mode 2 turns the ring
}

TEST(DrawScene, PetalFrequencyIsRedrawnWhenTheDrawIsAtMost327) {
  ASSERT_TRUE(scene_harness::StartScene(16, 16));
  // {first draw, new frequency}: RandomInt(1000) < 10 up to 327; then RandomInt(10) + 1 from
  // the next draw (16384..19660 gives 5).
  for (auto [draw, frequency] : {std::pair{327, 6.0}, {328, 2.0}, {0, 6.0}}) {
    petalFrequency = 2.0;
    ASSERT_TRUE(random_control::SeedSoDrawsFall({{draw, draw}, {16384, 19660}}));
    DrawOverlayPass(kModeStarburst + 1);  // no effect of its own: only the redraw
    EXPECT_EQ(petalFrequency, frequency) << draw;
  }
}

TEST(DrawScene, ClusterStepsPerFrameFollowTheBassCue) {
  ASSERT_TRUE(scene_harness::StartScene(64, 48));
  DrawingMode = kModeClusterBloom;
  // DrawScene recomputes the bass cue from the spectrum, whose steps cannot hit 4000 exactly:
  // check both sides of it, level 1280 giving 3968 and level 1296 giving 4017.
  for (int mean : {81, 82}) {
    scene_harness::FillSamples(mean, 200);
    AnalyseAudioFrame();
    clusterSteps = 20;
    DrawScene();
    EXPECT_EQ(clusterSteps, mean == 81 ? 19 : 10) << bassCue;
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
      DrawingMode = mode;
      emitterOverlay = sparkFanEnabled = starburstAllowed = 1;
      for (int frame = 0; frame < 6; ++frame) {
        scene_harness::FillMusic(frame, frame % 2 == 0);
        particleBurstActive = 1;
        scene_harness::DrawFrame();
      }
      EXPECT_GE(sizeScale, 0.0);
    }
  }
}
