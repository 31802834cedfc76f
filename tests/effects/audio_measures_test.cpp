// Audio measures: loudness and beat, the band analysis, the frame colour, the pens.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "scene_harness.h"

using scene_harness::FillSamples;

TEST(AudioMeasures, LoudnessIsTheSquaredPeakOver8AndABeatNeedsMoreThan1000Over) {
  // {wave peak, loudness before, loudness, beat}
  const int cases[][4] = {
      {160, 2200, 3200, 0}, {160, 2199, 3200, 1}, {255, 0, 8128, 1}, {0, 0, 0, 0}};
  for (const auto& c : cases) {
    ResetSceneToLoadState();
    FillSamples(0, c[0]);
    Scene.previousLoudness = c[1];
    AnalyseAudioFrame();
    EXPECT_EQ(Scene.loudness, c[2]) << c[0];
    EXPECT_EQ(Scene.beatFlag, c[3]) << c[1];
    EXPECT_EQ(Scene.previousLoudness, c[2]);
  }
}

TEST(AudioMeasures, SixtyFourBandsOf17BytesAndTheLastOf16) {
  ResetSceneToLoadState();
  FillSamples(0, 128);
  for (int i = 0; i < 1024; ++i) Samples.SpectrumSamples[0][i] = uint8_t(i / 16 + 10);
  Scene.BandLevels[64] = 777;
  AverageBands(Scene.BandLevels, 64);
  // Band 10 = bytes 160..176: sixteen of 20 and one of 21.
  EXPECT_EQ(Scene.BandLevels[10], int((16 * 20 + 21) / 17.0 - 1.0) * 16);
  // The last band has 16 bytes (1008..1023).
  EXPECT_EQ(Scene.BandLevels[63], 72 * 16);
  EXPECT_EQ(Scene.BandLevels[64], 777);  // not written by a 64-band analysis
}

TEST(FrameColour, BassRedMiddleGreenTopBlue) {
  ASSERT_TRUE(scene_harness::StartScene(64, 48));
  // Band b of the seven covers bytes 146 * b .. 146 * b + 146, sharing its last byte with band
  // b + 1; with means that never fall from one band to the next, its level is (mean - 1) * 16.
  const auto setBands = [](std::initializer_list<int> means) {
    int b = 0;
    for (int mean : means) std::memset(Samples.SpectrumSamples[0] + 146 * b++, mean, 147);
  };
  FillSamples(0, 128);
  setBands({8, 20, 21, 22, 23, 24, 26});  // levels 112, 304, 320, 336, 352, 368, 400
  Samples.SpectrumSamples[0][1023] = 0;
  BeginEffectFrame();
  EXPECT_EQ(Scene.FrameColour.red, 152 * 124);  // 304 / 2 beats 112
  EXPECT_EQ(Scene.FrameColour.green, 336 * 124);
  EXPECT_EQ(Scene.FrameColour.blue, 400 * 124);
  EXPECT_EQ(Scene.bassCue, 152 * 31 / 10);
  setBands({14});  // 208 against 304 / 2
  BeginEffectFrame();
  EXPECT_EQ(Scene.FrameColour.red, 208 * 124);
}

TEST(SceneSetup, TheWidePenIsThreePixelsAbove1200) {
  ResetSceneToLoadState();
  for (auto [width, pen] : {std::pair{640, 2}, {1280, 3}, {1200, 2}}) {
    SetScenePictureSize(width, 720);
    ResetEffectState();
    EXPECT_EQ(Scene.widePenWidth, pen) << width;
    EXPECT_EQ(Scene.normalPenWidth, 1);
  }
}
