// Emitter swarm: reflection at each margin, which emitters fire, the overlay's three bands, and
// the pictures too narrow or too wide for the plain rules.
#include <gtest/gtest.h>

#include <cstring>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/emitter_swarm.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "random_control.h"
#include "scene_harness.h"

namespace {

void StartQuiet(int width, int height) {
  ASSERT_TRUE(scene_harness::StartScene(width, height));
  Scene.loudness = 0;  // no dots from StepEmitter
}

}  // namespace

TEST(EmitterSwarm, ReflectsAtEachMargin) {
  StartQuiet(640, 480);
  Scene.emitterSpeed = 10.0f;

  Scene.Emitters[0] = {20.0f, 200.0f, -1.0f, 0.0f};  // left: 10 < 32 becomes 22
  StepEmitter(0);
  EXPECT_EQ(Scene.Emitters[0].x, 22.0f);
  EXPECT_GE(Scene.Emitters[0].vx, 0.9f);
  EXPECT_LE(Scene.Emitters[0].vx, 1.0f);

  Scene.Emitters[1] = {620.0f, 200.0f, 1.0f,
                       0.0f};  // right: 630 + 16 > 639 becomes 1280 - 630 - 31
  StepEmitter(1);
  EXPECT_EQ(Scene.Emitters[1].x, 619.0f);
  EXPECT_LE(Scene.Emitters[1].vx, -0.9f);

  Scene.Emitters[2] = {300.0f, 20.0f, 0.0f,
                       -1.0f};  // top: 10 < 16 becomes 22; the bounce nudges vx
  StepEmitter(2);
  EXPECT_EQ(Scene.Emitters[2].y, 22.0f);
  EXPECT_EQ(Scene.Emitters[2].vy, 1.0f);
  EXPECT_NE(Scene.Emitters[2].vx, 0.0f);
  EXPECT_LE(std::abs(Scene.Emitters[2].vx), 0.1f);

  Scene.Emitters[3] = {300.0f, 440.0f, 0.0f,
                       1.0f};  // bottom: 450 + 32 > 479 becomes 960 - 450 - 31
  StepEmitter(3);
  EXPECT_EQ(Scene.Emitters[3].y, 479.0f);
  EXPECT_EQ(Scene.Emitters[3].vy, -1.0f);

  Scene.Emitters[4] = {32.0f, 16.0f, 0.0f, 0.0f};  // exactly on the low margins: no bounce
  StepEmitter(4);
  EXPECT_EQ(Scene.Emitters[4].x, 32.0f);
  EXPECT_EQ(Scene.Emitters[4].y, 16.0f);
  EXPECT_EQ(Scene.Emitters[4].vx, 0.0f);
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

TEST(EmitterSwarm, SilenceReseatsAllAndOneEmitterSprays128Dots) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  EXPECT_EQ(Scene.emitterCount, 80);
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  const uint64_t before = Scene.cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kAnywhere);
  EXPECT_EQ(Scene.cloudDotCount - before, 128u);
  EXPECT_EQ(Scene.particleBurstActive, 1);
  EXPECT_EQ(Scene.emitterSpeed, 40.0f);
}

TEST(EmitterSwarm, LoudBandsFireFromIndexFourOn) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  scene_harness::FillSamples(255, 255);
  AnalyseAudioFrame();
  Scene.beatMultiplier = 2;
  const uint64_t before = Scene.cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kNearCentre);
  EXPECT_EQ(Scene.cloudDotCount - before, uint64_t(76 * 508));  // bands 0..3 are damped below 2048
  EXPECT_EQ(Scene.emitterSpeed, 324.0f);
  EXPECT_EQ(Scene.BandLevels[0], 4064 / 3);
  EXPECT_EQ(Scene.BandLevels[2], 4064 / 2);
  EXPECT_EQ(Scene.BandLevels[4], 4064);
}

TEST(EmitterSwarm, OverlayUsesThreeBandsAndThreshold256) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  // Band 0 = bytes 0..341, band 1 = 341..682 (both divided by 3), band 2 = 682..1023 (by 2).
  std::memset(Samples.SpectrumSamples[0], 50, 342);        // 784 / 3 = 261 > 256: fires
  std::memset(Samples.SpectrumSamples[0] + 342, 49, 341);  // 768 / 3 = 256: does not
  std::memset(Samples.SpectrumSamples[0] + 683, 34, 341);  // 528 / 2 = 264: fires
  Scene.OverlayPass = 1;
  Scene.particleBurstActive = 0;
  const uint64_t before = Scene.cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kNearCentre);
  Scene.OverlayPass = 0;
  EXPECT_EQ(Scene.BandLevels[0], 784 / 3);
  EXPECT_EQ(Scene.BandLevels[1], 768 / 3);  // 256 is not above the threshold
  EXPECT_EQ(Scene.BandLevels[2], 528 / 2);
  EXPECT_EQ(Scene.cloudDotCount - before, 2u * 128);
  EXPECT_EQ(Scene.particleBurstActive, 0);  // only main passes start the burst
}

TEST(EmitterSwarm, NarrowPictureHasNoBandsButStillStepsEmitterZero) {
  ASSERT_TRUE(scene_harness::StartScene(7, 40));
  EXPECT_EQ(Scene.emitterCount, 0);
  scene_harness::FillSamples(200, 200);
  AnalyseAudioFrame();
  Scene.BandLevels[0] = -1;
  const Emitter before = Scene.Emitters[0];
  const uint64_t dots = Scene.cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kAnywhere);
  EXPECT_EQ(Scene.BandLevels[0], -1);  // no analysis
  EXPECT_EQ(Scene.cloudDotCount - dots, uint64_t(200 * 200 / 8 / 16));
  EXPECT_TRUE(Scene.Emitters[0].x != before.x || Scene.Emitters[0].y != before.y);
}

TEST(EmitterSwarm, TopDrawWithAllRecordsInUseStepsTheLastRecord) {
  ASSERT_TRUE(scene_harness::StartScene(2048, 40));
  ASSERT_EQ(Scene.emitterCount, 255);
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  const Emitter last = Scene.Emitters[254];
  // Near-centre reseating takes no number from the generator, so the next one is the fallback's.
  random_control::SeedSoRandomIs(32767);
  const uint64_t dots = Scene.cloudDotCount;
  DrawEmitterSwarm(EmitterReseat::kNearCentre);
  EXPECT_EQ(Scene.cloudDotCount - dots, 128u);
  EXPECT_NE(Scene.Emitters[254].x, last.x);  // reseated and then stepped, never record 255
}
