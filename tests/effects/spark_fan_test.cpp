// Spark fan: silent on non-beat frames, the burst diversion, and the first chord's indices.
#include <gtest/gtest.h>

#include "effects/audio_measures.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "effects/spark_fan.h"
#include "random_control.h"
#include "scene_harness.h"

TEST(SparkFan, NonBeatFrameTakesNoRandomNumber) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  beatMultiplier = 1;
  SeedRandom15(555);
  DrawSparkFan();
  const int next = NextRandom15();
  SeedRandom15(555);
  EXPECT_EQ(NextRandom15(), next);
  EXPECT_EQ(sparkCentreOffsetX, 0);
  EXPECT_EQ(particleBurstActive, 0);
}

TEST(SparkFan, SomeBeatsStartTheParticleBurstInstead) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  beatMultiplier = 2;
  random_control::SeedSoRandomIs(20000);  // RandomInt(2) = 1
  DrawSparkFan();
  EXPECT_EQ(particleBurstActive, 1);
  EXPECT_EQ(sparkCentreOffsetX, 0);  // no fan drawn
  // With the burst already running every beat draws a fan and moves the centre.
  random_control::SeedSoRandomIs(20000);
  DrawSparkFan();
  EXPECT_TRUE(sparkCentreOffsetX != 0 || sparkCentreOffsetY != 0);
  EXPECT_GE(sparkCentreOffsetX, 160 - 320);
  EXPECT_LE(sparkCentreOffsetX, 160);
}

TEST(SparkFan, FirstChordStartsOnRayOneAndLimitsItsLevel) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  scene_harness::FillSamples(200, 200);
  beatMultiplier = 2;
  particleBurstActive = 1;
  BandLevels[64] = 500;  // left by a wider analysis
  // Draws: burst check, rotation, then stroke 0's kind: 20000 makes it a chord.
  random_control::SeedSoRandomIs(20000, 2);
  DrawSparkFan();
  EXPECT_EQ(BandLevels[64], 100);
  EXPECT_EQ(BandLevels[0], 199 * 16 / 3);
  EXPECT_EQ(BandLevels[2], 199 * 16 / 2);
  EXPECT_EQ(BandLevels[63], 199 * 16);  // beyond the strokes: as analysed
}
