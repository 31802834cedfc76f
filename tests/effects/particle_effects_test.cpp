// Particle burst, scatter clouds and cluster bloom: dot counts per frame and the bound on them.
#include <gtest/gtest.h>

#include <cstdint>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "scene_harness.h"

namespace {

uint64_t DotsOf(void (*draw)()) {
  const uint64_t before = cloudDotCount;
  draw();
  return cloudDotCount - before;
}

}  // namespace

TEST(ParticleBurst, RunsDownBy100AFrame) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  EXPECT_EQ(burstSize, 500);  // after set-up
  burstSize = 150;
  particleBurstActive = 1;
  beatFlag = 0;
  EXPECT_EQ(DotsOf(DrawParticleBurst), 150u);
  EXPECT_EQ(burstSize, 50);
  EXPECT_EQ(particleBurstActive, 1);
  EXPECT_EQ(DotsOf(DrawParticleBurst), 50u);
  EXPECT_EQ(burstSize, -50);
  EXPECT_EQ(particleBurstActive, 0);
}

TEST(ParticleBurst, OnlyABeatAfterTheLastBurstStartsANewOne) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  burstSize = 300;
  beatFlag = 1;
  loudness = 8128;
  EXPECT_EQ(DotsOf(DrawParticleBurst), 300u);  // running: the beat does not restart it
  burstSize = 0;
  FrameColour = {1, 2, 3};
  EXPECT_EQ(DotsOf(DrawParticleBurst), 2232u);
  EXPECT_EQ(burstColour.blue, 3);
  EXPECT_GE(burstCentre.x, 0);
  EXPECT_LE(burstCentre.x, 320);
  // Held colour stays as latched; otherwise it follows the frame.
  FrameColour = {9, 9, 9};
  beatFlag = 0;
  burstColourHeld = 1;
  DrawParticleBurst();
  EXPECT_EQ(burstColour.red, 1);
  burstColourHeld = 0;
  DrawParticleBurst();
  EXPECT_EQ(burstColour.red, 9);
}

TEST(ScatterClouds, SilenceDrawsTwoCloudsOf128Dots) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  DrawingMode = kModeScatterClouds;
  scene_harness::FillSamples(0, 128);
  AnalyseAudioFrame();
  AnalyseAudioFrame();  // past the first frame's beat
  EXPECT_EQ(DotsOf(DrawScene), 256u);
  EXPECT_EQ(particleBurstActive, 1);
  EXPECT_GE(scatterCentre.x, 0);
  EXPECT_LE(scatterCentre.x, 320);
}

TEST(ClusterBloom, ThirtyStepSeriesLastsThreeStrongBassFrames) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  bassCue = 6000;
  loudness = 4000;
  FrameColour = {5, 6, 7};
  EXPECT_EQ(DotsOf(DrawClusterBloom), 15000u);
  EXPECT_EQ(clusterSteps, 29);
  EXPECT_EQ(clusterColour.green, 6);
  const PicturePoint centre = burstCentre;
  uint64_t frameDots = 15000;
  for (int s = 1; s < 10; ++s) frameDots += DotsOf(DrawClusterBloom);
  EXPECT_EQ(frameDots, uint64_t(500 * (30 + 29 + 28 + 27 + 26 + 25 + 24 + 23 + 22 + 21)));
  for (int s = 0; s < 20; ++s) DrawClusterBloom();
  EXPECT_EQ(clusterSteps, 0);
  EXPECT_EQ(burstSize, 500);  // the last step of the series
  EXPECT_EQ(burstCentre.x, centre.x);
  EXPECT_EQ(burstCentre.y, centre.y);
}

TEST(ClusterBloom, NoBassDrawsNothing) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  bassCue = 0;
  loudness = 2048;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(DotsOf(DrawClusterBloom), 0u);
  EXPECT_EQ(clusterSteps, -1);
}

TEST(ClusterBloom, SeriesLengthIsBoundedOnlyBelowPlayingLoudness) {
  ASSERT_TRUE(scene_harness::StartScene(320, 240));
  bassCue = 4064 * 31 / 10;  // the strongest bass
  loudness = 2048;           // the quietest a playing host gives
  DrawClusterBloom();
  EXPECT_EQ(clusterSteps + 1, 123);  // unbounded: 12598 * 20 / 2048
  clusterSteps = 0;
  loudness = 0;  // a waveform pinned at -128
  DrawClusterBloom();
  EXPECT_EQ(clusterSteps + 1, kMaxClusterSteps);
}
