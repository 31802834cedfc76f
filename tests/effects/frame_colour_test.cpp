// Frame colour, bass cue, dissolve density and the starburst trigger.
#include <gtest/gtest.h>

#include <cstring>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/scene_driver.h"
#include "effects/starburst.h"
#include "random_control.h"
#include "scene_harness.h"

namespace {

// Band b of the seven covers bytes 146 * b .. 146 * b + 146, sharing its last byte with band b + 1.
// With means that never fall from one band to the next, band b's level is (mean - 1) * 16.
void SetSevenBands(std::initializer_list<int> means) {
  int b = 0;
  for (int mean : means) {
    std::memset(Samples.SpectrumSamples[0] + 146 * b, mean, 147);
    ++b;
  }
  Samples.SpectrumSamples[0][1023] = 0;
}

}  // namespace

TEST(FrameColour, BassRedMiddleGreenTopBlue) {
  ASSERT_TRUE(scene_harness::StartScene(64, 48));
  scene_harness::FillSamples(0, 128);
  SetSevenBands({8, 20, 21, 22, 23, 24, 26});  // levels 112, 304, 320, 336, 352, 368, 400
  AnalyseAudioFrame();
  BeginEffectFrame();
  EXPECT_EQ(BandLevels[0], 112);
  EXPECT_EQ(FrameColour.red, 152 * 124);  // 304 / 2 beats 112
  EXPECT_EQ(FrameColour.green, 336 * 124);
  EXPECT_EQ(FrameColour.blue, 400 * 124);
  EXPECT_EQ(bassCue, 152 * 31 / 10);
  SetSevenBands({14, 20, 20, 20, 20, 20, 20});  // 208 against 304 / 2
  BeginEffectFrame();
  EXPECT_EQ(FrameColour.red, 208 * 124);
  EXPECT_EQ(bassCue, 644);
}

TEST(FrameColour, DissolveDensityFollowsLoudness) {
  EXPECT_EQ(DissolveDensity(0), 6000);
  EXPECT_EQ(DissolveDensity(2048), 1968);
  EXPECT_EQ(DissolveDensity(8128), 657);
}

TEST(FrameColour, StarburstNeedsLoudnessAbove6000OnABeatAndOneDrawInFive) {
  // {loudness, beat, allowed, draw, starts}: draw 6553 is RandomInt(10) = 1, below 2; 6554 is 2.
  // The number is drawn only when everything else allows a start.
  const int cases[][5] = {{6000, 1, 1, 6553, 0},
                          {6001, 1, 1, 6553, 1},
                          {7000, 1, 1, 6554, 0},
                          {8128, 0, 1, 0, 0},
                          {8128, 1, 0, 0, 0}};
  for (const auto& c : cases) {
    ASSERT_TRUE(scene_harness::StartScene(640, 480));
    loudness = c[0];
    beatFlag = c[1];
    starburstAllowed = c[2];
    ASSERT_TRUE(random_control::SeedSoDrawsFall({{c[3], c[3]}, {30000, 32767}}));
    ConsiderStarburst();
    EXPECT_EQ(starburstActive, c[4]) << c[0] << " " << c[1] << " " << c[2];
    const bool drawn = c[0] > 6000 && c[1] && c[2];
    EXPECT_EQ(NextRandom15() >= 30000, drawn);
  }
}
