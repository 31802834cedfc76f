// Starburst: a start latches the colour and runs for exactly 14 frames; starts do not overlap.
#include <gtest/gtest.h>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "effects/starburst.h"
#include "scene_harness.h"

TEST(Starburst, RunsExactlyFourteenFrames) {
  for (int level : {0, 2048, 8128}) {
    ASSERT_TRUE(scene_harness::StartScene(640, 480));
    Scene.loudness = level;
    Scene.FrameColour = {11, 22, 33};
    StartStarburst();
    ASSERT_EQ(Scene.starburstActive, 1);
    EXPECT_EQ(Scene.starburstColour.green, 22);
    EXPECT_GE(Scene.starburstOffsetX, -320);
    EXPECT_LE(Scene.starburstOffsetX, 320);
    for (const Star& star : Scene.Stars) {
      ASSERT_EQ(star.z, 7.0);
      ASSERT_LE(std::abs(star.x), 240.0);
    }
    int frames = 0;
    while (Scene.starburstActive && frames < 100) {
      DrawOverlayPass(kModeStarburst);
      ++frames;
    }
    EXPECT_EQ(frames, 14) << level;
    EXPECT_EQ(Scene.Stars[254].z, 0.0);
  }
}

TEST(Starburst, StartWhileRunningChangesNothing) {
  ASSERT_TRUE(scene_harness::StartScene(640, 480));
  StartStarburst();
  DrawOverlayPass(kModeStarburst);
  const Star first = Scene.Stars[0];
  const int offsetX = Scene.starburstOffsetX;
  Scene.FrameColour = {1, 1, 1};
  StartStarburst();
  EXPECT_EQ(Scene.Stars[0].x, first.x);
  EXPECT_EQ(Scene.Stars[0].z, 6.5);
  EXPECT_EQ(Scene.starburstOffsetX, offsetX);
  EXPECT_NE(Scene.starburstColour.red, 1);
}
