// Emitter swarm: reflection at each margin, which emitters fire in main and overlay passes, and
// the fallback emitter.
#include <gtest/gtest.h>

#include <tuple>

#include "effects/audio_measures.h"
#include "effects/emitter_swarm.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "random_control.h"
#include "scene_harness.h"

TEST(EmitterSwarm, ReflectsOncePastEachMarginAndNotOnIt) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  Scene.loudness = 0;         // no dots
  Scene.emitterSpeed = 0.0f;  // the position is where the step lands
  // {x, y, new x, new y}: x bounces below 32 and above 639 - 16, y below 16 and above 479 - 32.
  const float cases[][4] = {{32, 200, 32, 200},   {31, 200, 1, 200},   {623, 200, 623, 200},
                            {624, 200, 625, 200}, {300, 16, 300, 16},  {300, 15, 300, 17},
                            {300, 447, 300, 447}, {300, 448, 300, 481}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << "," << c[1]);
    Scene.Emitters[0] = {c[0], c[1], 0.5f, 0.5f};
    StepEmitter(0);
    EXPECT_EQ(Scene.Emitters[0].x, c[2]);
    EXPECT_EQ(Scene.Emitters[0].y, c[3]);
    const bool xBounced = c[0] != c[2], yBounced = c[1] != c[3];
    // A bounce reverses its component; every bounce nudges vx, never vy.
    EXPECT_EQ(Scene.Emitters[0].vy, yBounced ? -0.5f : 0.5f);
    const float vx = Scene.Emitters[0].vx;
    EXPECT_TRUE(xBounced ? vx < -0.39f : yBounced ? vx != 0.5f : vx == 0.5f) << vx;
  }
}

TEST(EmitterSwarm, BandsAboveTwiceTheLoudnessUpToTheCapFireAndTheBassIsDamped) {
  // {overlay, wave peak, spectrum mean, beat multiplier, dots, speed}: 640 wide, 80 emitters (3
  // in an overlay pass), every band at level (mean - 1) * 16; bands 0..3 are divided by 3, 3, 2,
  // 2. Peak 40: loudness 200, threshold 400, so level 416 fires emitters 4..79 with 12 dots each
  // and 400 fires none: one fallback emitter sprays. Silence (peak 128) fires none either. The
  // overlay's cap is 256: mean 49 puts bands 0 and 1 on it and fires band 2 alone.
  const int cases[][6] = {{0, 128, 0, 1, 128, 40},    {0, 40, 27, 1, 76 * 12, 4},
                          {0, 40, 26, 1, 12, 4},      {0, 200, 130, 1, 76 * 312, 100},
                          {0, 200, 129, 1, 312, 100}, {0, 255, 255, 2, 76 * 508, 324},
                          {1, 128, 49, 1, 128, 40},   {1, 128, 50, 1, 3 * 128, 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << " " << c[1] << " " << c[2]);
    ASSERT_TRUE(scene_harness::StartScene(640, 480));
    scene_harness::FillSamples(c[2], c[1]);
    AnalyseAudioFrame();
    Scene.beatMultiplier = c[3];
    Scene.OverlayPass = c[0];
    const uint64_t before = Scene.cloudDotCount;
    DrawEmitterSwarm(EmitterReseat::kNearCentre);
    EXPECT_EQ(Scene.cloudDotCount - before, uint64_t(c[4]));
    EXPECT_EQ(Scene.emitterSpeed, float(c[5]));
    EXPECT_EQ(Scene.particleBurstActive, 1 - c[0]);  // only main passes start the burst
  }
}

TEST(EmitterSwarm, TheFallbackDrawsAmongAllEmittersAndStaysInTheRecords) {
  // {width, emitters, draw}: an overlay pass also draws among all 80; 32767 names emitter 255,
  // past the records, so the last record steps instead.
  for (auto [width, count, draw] : {std::tuple{640, 80, 32766}, {2048, 255, 32767}}) {
    ASSERT_TRUE(scene_harness::StartScene(width, 40));
    ASSERT_EQ(Scene.emitterCount, count);
    scene_harness::FillSamples(0, 128);
    AnalyseAudioFrame();
    const Emitter last = Scene.Emitters[count - 1];
    // Near-centre reseating takes no number from the generator: the fallback's is the first.
    random_control::SeedSoDrawsFall({{draw, draw}});
    Scene.OverlayPass = count == 80;
    DrawEmitterSwarm(EmitterReseat::kNearCentre);
    EXPECT_TRUE(Scene.Emitters[count - 1].x != last.x || Scene.Emitters[count - 1].y != last.y);
  }
}
