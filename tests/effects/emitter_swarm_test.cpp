// Emitter swarm: reflection at each margin, which emitters fire, the overlay's three bands, and
// the pictures too narrow or too wide for the plain rules.
#include <gtest/gtest.h>

#include <cstring>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/emitter_swarm.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "random_control.h"
#include "scene_harness.h"

namespace {

void StartQuiet(int width, int height) {
  ASSERT_TRUE(scene_harness::StartScene(width, height));
  loudness = 0;  // no dots from StepEmitter
}

}  // namespace

TEST(EmitterSwarm, ReflectsOncePastEachMarginAndNotOnIt) {
  StartQuiet(640, 480);
  emitterSpeed = 0.0f;  // the position is where the step lands
  // {x, y, new x, new y}: x bounces below 32 and above 639 - 16, y below 16 and above 479 - 32.
  const float cases[][4] = {{32, 200, 32, 200},   {31, 200, 1, 200},   {623, 200, 623, 200},
                            {624, 200, 625, 200}, {300, 16, 300, 16},  {300, 15, 300, 17},
                            {300, 447, 300, 447}, {300, 448, 300, 481}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << "," << c[1]);
    Emitters[0] = {c[0], c[1], 0.5f, 0.5f};
    StepEmitter(0);
    EXPECT_EQ(Emitters[0].x, c[2]);
    EXPECT_EQ(Emitters[0].y, c[3]);
    const bool xBounced = c[0] != c[2], yBounced = c[1] != c[3];
    // A bounce reverses its component; every bounce nudges vx, never vy.
    EXPECT_EQ(Emitters[0].vy, yBounced ? -0.5f : 0.5f);
    const float vx = Emitters[0].vx;
    EXPECT_TRUE(xBounced ? vx < -0.39f : yBounced ? vx != 0.5f : vx == 0.5f) << vx;
  }
}

TEST(EmitterSwarm, NudgeKeepsVelocityWithinOne) {
  random_control::SeedSoRandomIs(32767);
  float v = 0.95f;
  NudgeVelocity(v);
  EXPECT_EQ(v, 1.0f);
  random_control::SeedSoRandomIs(0);
  v = -0.95f;
  NudgeVelocity(v);
  EXPECT_EQ(v, -1.0f);
}

TEST(EmitterSwarm, OverlayUsesThreeBandsAndThreshold256) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  // Band 0 = bytes 0..341, band 1 = 341..682 (both divided by 3), band 2 = 682..1023 (by 2).
  std::memset(Samples.SpectrumSamples[0], 50, 342);        // 784 / 3 = 261 > 256: fires
  std::memset(Samples.SpectrumSamples[0] + 342, 49, 341);  // 768 / 3 = 256: does not
  std::memset(Samples.SpectrumSamples[0] + 683, 34, 341);  // 528 / 2 = 264: fires
  OverlayPass = 1;
  particleBurstActive = 0;
  const uint64_t before = cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kNearCentre);
  OverlayPass = 0;
  EXPECT_EQ(BandLevels[0], 784 / 3);
  EXPECT_EQ(BandLevels[1], 768 / 3);  // 256 is not above the threshold
  EXPECT_EQ(BandLevels[2], 528 / 2);
  EXPECT_EQ(cloudDotCount - before, 2u * 128);
  EXPECT_EQ(particleBurstActive, 0);  // only main passes start the burst
}

TEST(EmitterSwarm, NarrowPictureHasNoBandsButStillStepsEmitterZero) {
  ASSERT_TRUE(scene_harness::StartScene(7, 40));
  EXPECT_EQ(emitterCount, 0);
  scene_harness::FillSamples(200, 200);
  AnalyseAudioFrame();
  BandLevels[0] = -1;
  const Emitter before = Emitters[0];
  const uint64_t dots = cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kAnywhere);
  EXPECT_EQ(BandLevels[0], -1);  // no analysis
  EXPECT_EQ(cloudDotCount - dots, uint64_t(200 * 200 / 8 / 16));
  EXPECT_TRUE(Emitters[0].x != before.x || Emitters[0].y != before.y);
}

TEST(EmitterSwarm, TopDrawWithAllRecordsInUseStepsTheLastRecord) {
  ASSERT_TRUE(scene_harness::StartScene(2048, 40));
  ASSERT_EQ(emitterCount, 255);
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  const Emitter last = Emitters[254];
  // Near-centre reseating takes no number from the generator, so the next one is the fallback's.
  random_control::SeedSoRandomIs(32767);
  const uint64_t dots = cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kNearCentre);
  EXPECT_EQ(cloudDotCount - dots, 128u);
  EXPECT_NE(Emitters[254].x, last.x);  // reseated and then stepped, never record 255
}

TEST(EmitterSwarm, BandsAboveTwiceTheLoudnessUpToTheCapFireAndTheBassIsDamped) {
  // {wave peak, spectrum mean, beat multiplier, dots, speed}: 640 wide, 80 emitters, every band
  // at level (mean - 1) * 16; bands 0..3 are divided by 3, 3, 2, 2 and stay below the cap 2048.
  // Peak 40: loudness 200, threshold 400, so level 416 fires emitters 4..79 with 12 dots each
  // and 400 fires none: one fallback emitter sprays. Silence (peak 128) fires none either.
  const int cases[][5] = {{128, 0, 1, 128, 40},    {40, 27, 1, 76 * 12, 4},
                          {40, 26, 1, 12, 4},      {200, 130, 1, 76 * 312, 100},
                          {200, 129, 1, 312, 100}, {255, 255, 2, 76 * 508, 324}};
  for (const auto& c : cases) {
    ASSERT_TRUE(scene_harness::StartScene(640, 480));
    ASSERT_EQ(emitterCount, 80);
    scene_harness::FillSamples(c[1], c[0]);
    AnalyseAudioFrame();
    beatMultiplier = c[2];
    const uint64_t before = cloudDotCount;
    DrawEmitterSwarm(EmitterReseat::kNearCentre);
    EXPECT_EQ(cloudDotCount - before, uint64_t(c[3])) << c[0] << " " << c[1];
    EXPECT_EQ(emitterSpeed, float(c[4]));
    EXPECT_EQ(particleBurstActive, 1);
  }
}

TEST(EmitterSwarm, AnywhereReseatDrawsXThenY) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  ASSERT_TRUE(random_control::SeedSoDrawsFall({{16384, 16384}, {0, 40}}));
  DrawEmitterSwarm(EmitterReseat::kAnywhere);
  EXPECT_EQ(Emitters[0].x, 320.0f);  // 16384 * 640 / 32767
  EXPECT_EQ(Emitters[0].y, 0.0f);
}

TEST(EmitterSwarm, OverlayFallbackDrawsAmongAllEmittersNotTheThree) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  const Emitter last = Emitters[79];
  // The overlay reseats near the centre from the tables, so the fallback's is the first draw.
  random_control::SeedSoRandomIs(32766);  // RandomInt(80) = 79, RandomInt(3) would be 2
  OverlayPass = 1;
  DrawEmitterSwarm(EmitterReseat::kNearCentre);
  OverlayPass = 0;
  EXPECT_TRUE(Emitters[79].x != last.x || Emitters[79].y != last.y);
}
