// Starburst: a start latches the colour and runs for exactly 14 frames; starts do not overlap.
#include <gtest/gtest.h>

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
