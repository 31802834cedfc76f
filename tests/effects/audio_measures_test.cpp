// Audio measures: loudness and beat from the waveform, sizeScale, and the band analysis.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "effects/audio_measures.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "effects/scene_setup.h"
#include "scene_harness.h"

using scene_harness::FillSamples;

namespace {

void ResetMeasures() {
  ResetSceneToLoadState();
  SetScenePictureSize(640, 480);
}

}  // namespace

TEST(AudioMeasures, SilenceGives2048AndOnlyTheFirstFrameBeats) {
  ResetMeasures();
  FillSamples(0, 128);
  AnalyseAudioFrame();
  EXPECT_EQ(loudness, 2048);
  EXPECT_EQ(beatFlag, 1);  // from 0 before any samples
  for (int i = 0; i < 5; ++i) {
    AnalyseAudioFrame();
    EXPECT_EQ(loudness, 2048);
    EXPECT_EQ(beatFlag, 0);
  }
  EXPECT_EQ(previousLoudness, 2048);
  EXPECT_NEAR(sizeScale, 1.8666666666666667, 1e-12);
}

TEST(AudioMeasures, BeatNeedsTheSquaredPeakToGrowByMoreThan8000) {
  ResetMeasures();
  FillSamples(0, 128);
  AnalyseAudioFrame();
  Samples.WaveSamples[0][500] = 156;  // 156^2 / 8 = 3042: exactly 994 more
  AnalyseAudioFrame();
  EXPECT_EQ(loudness, 3042);
  EXPECT_EQ(beatFlag, 0);
  FillSamples(0, 128);
  AnalyseAudioFrame();
  Samples.WaveSamples[0][1022] = 157;  // 3081: 1033 more
  AnalyseAudioFrame();
  EXPECT_EQ(beatFlag, 1);
  FillSamples(0, 255);
  AnalyseAudioFrame();
  EXPECT_EQ(loudness, 8128);
  FillSamples(0, 0);
  AnalyseAudioFrame();
  EXPECT_EQ(loudness, 0);
  EXPECT_EQ(beatFlag, 0);
  // Peak 160 gives 3200: a beat needs more than 1000 over the frame before.
  for (auto [previous, beat] : {std::pair{2200, 0}, {2199, 1}}) {
    FillSamples(0, 160);
    previousLoudness = previous;
    AnalyseAudioFrame();
    EXPECT_EQ(beatFlag, beat) << previous;
  }
}

TEST(AudioMeasures, SevenBandsStep146AndTheLastEndsAtByte1022) {
  ResetMeasures();
  FillSamples(0, 128);
  // Band 6 covers 876..1022: 147 bytes of 100 give the mean 100, level 99 * 16.
  std::memset(Samples.SpectrumSamples[0] + 876, 100, 147);
  // Band 5 covers 730..876 and shares byte 876 with band 6.
  AverageBands(BandLevels, 7);
  EXPECT_EQ(BandLevels[6], 99 * 16);
  EXPECT_EQ(BandLevels[5], int(100.0 / 147 - 1.0) * 16);
  EXPECT_EQ(BandLevels[4], 0);
  Samples.SpectrumSamples[0][875] = 255;
  Samples.SpectrumSamples[0][1023] = 255;  // never part of band 6
  AverageBands(BandLevels, 7);
  EXPECT_EQ(BandLevels[6], 99 * 16);
  EXPECT_EQ(BandLevels[5], int((100.0 + 255.0) / 147 - 1.0) * 16);
}

TEST(AudioMeasures, BandLevelsRangeAndRounding) {
  ResetMeasures();
  for (auto [mean, level] : {std::pair{255, 4064}, {2, 16}, {1, 0}}) {  // below 2 gives 0
    FillSamples(mean, 128);
    AverageBands(BandLevels, 7);
    EXPECT_EQ(BandLevels[3], level) << mean;
  }
}

TEST(AudioMeasures, SixtyFourBandsOf17BytesAndTheLastOf16) {
  ResetMeasures();
  FillSamples(0, 128);
  for (int i = 0; i < 1024; ++i) Samples.SpectrumSamples[0][i] = uint8_t(i / 16 + 10);
  AverageBands(BandLevels, 64);
  // Band 10 = bytes 160..176: sixteen of 20 and one of 21.
  EXPECT_EQ(BandLevels[10], int((16 * 20 + 21) / 17.0 - 1.0) * 16);
  // The last band has 16 bytes (1008..1023).
  EXPECT_EQ(BandLevels[63], 72 * 16);
  BandLevels[64] = 777;
  AverageBands(BandLevels, 64);
  EXPECT_EQ(BandLevels[64], 777);  // not written by a 64-band analysis
}

TEST(SceneSetup, PensAndCentreFollowTheWidth) {
  ResetSceneToLoadState();
  for (auto [width, pen] : {std::pair{640, 2}, {1280, 3}, {1200, 2}}) {
    SetScenePictureSize(width, 720);
    ResetEffectState();
    EXPECT_EQ(widePenWidth, pen) << width;
    EXPECT_EQ(normalPenWidth, 1);
  }
}

TEST(SceneSetup, DirectionTableStartsTwoStepsBack) {
  InitDirectionTable();
  EXPECT_DOUBLE_EQ(DirectionTable[0].sine, std::sin(-2 * kPi / 31));
  EXPECT_DOUBLE_EQ(DirectionTable[2].sine, 0.0);
  EXPECT_DOUBLE_EQ(DirectionTable[2].cosine, 1.0);
  EXPECT_NEAR(DirectionTable[62].sine, std::sin(60 * kPi / 31), 1e-15);
}
