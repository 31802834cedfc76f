// Audio measures: loudness and beat, the frame colour, the pens. The band analysis is pinned by
// the spark fan's bands and the golden pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "scene_harness.h"

TEST(AudioMeasures, LoudnessIsTheSquaredPeakOver8AndABeatNeedsMoreThan1000Over) {
  // {wave peak, loudness before, loudness, beat}
  const int cases[][4] = {
      {160, 2200, 3200, 0}, {160, 2199, 3200, 1}, {255, 0, 8128, 1}, {0, 0, 0, 0}};
  for (const auto& c : cases) {
    ResetSceneToLoadState();
    scene_harness::FillSamples(0, c[0]);
    Scene.previousLoudness = c[1];
    AnalyseAudioFrame();
    EXPECT_EQ(Scene.loudness, c[2]) << c[0];
    EXPECT_EQ(Scene.beatFlag, c[3]) << c[1];
    EXPECT_EQ(Scene.previousLoudness, c[2]);
  }
}

TEST(FrameColour, BassRedMiddleGreenTopBlue) {
  ASSERT_TRUE(scene_harness::StartScene(64, 48));
  // Band b of the seven covers bytes 146 * b .. 146 * b + 146, sharing its last byte with band
  // b + 1; with means that never fall from one band to the next, its level is (mean - 1) * 16.
  const auto setBands = [](std::initializer_list<int> means) {
    int b = 0;
    for (int mean : means) std::memset(Samples.SpectrumSamples[0] + 146 * b++, mean, 147);
  };
  scene_harness::FillSamples(0, 128);
  setBands({8, 20, 21, 22, 23, 24, 26});  // levels 112, 304, 320, 336, 352, 368, 400
  BeginEffectFrame();
  EXPECT_EQ(Scene.FrameColour.red, 152 * 124);  // 304 / 2 beats 112
  EXPECT_EQ(Scene.FrameColour.green, 336 * 124);
  EXPECT_EQ(Scene.FrameColour.blue, 400 * 124);
  setBands({14});  // 208 against 304 / 2
  BeginEffectFrame();
  EXPECT_EQ(Scene.FrameColour.red, 208 * 124);
}

TEST(SceneSetup, TheWidePenIsThreePixelsAbove1200) {
  for (auto [width, pen] : {std::pair{1200, 2}, {1201, 3}}) {
    ASSERT_TRUE(scene_harness::StartScene(width, 10));
    EXPECT_EQ(Scene.widePenWidth, pen) << width;
  }
}
