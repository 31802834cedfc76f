// The slice analyser's exact bytes, and the demo track's passages as the plug-in's frame colour
// and loudness read them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "audio_in/demo_track.h"
#include "audio_in/slice_analyser.h"
#include "effects/frame_colour.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "pipeline/sample_copy.h"

namespace vevirur {
namespace {

HostSlice SliceOf(const AudioClip& clip, int64_t index) {
  SliceAnalyser analyser;
  HostSlice slice;
  std::memset(&slice, 0x55, sizeof slice);  // every byte must be written
  analyser.Analyse(clip, index, slice);
  return slice;
}

TEST(SliceAnalyser, SinesLandInTheirBinsAtTheirLevels) {
  // Bins are rate / 1152 apart: 1000 Hz is bin 26.12 at 44.1 kHz, bin 24 at 48 kHz. Half of full
  // scale is -6 dB, (60 - 6) / 3 = 18, a little less off the bin's centre; the Hann window's main
  // lobe spans two bins each side.
  const struct {
    double amplitude;
    int rate, bin, level;
  } cases[] = {{0.5, 44100, 26, 17}, {0.5, 44100, 27, 16}, {0.5, 44100, 25, 15},
               {0.5, 44100, 22, 0},  {0.5, 44100, 30, 0},  {1.0, 48000, 24, 19},
               {1.0, 48000, 30, 0},  {0.1, 48000, 24, 13}};
  for (const auto& c : cases) {
    AudioClip clip;
    clip.sample_rate = c.rate;
    for (int n = 0; n < c.rate / 5; ++n) {
      clip.left.push_back(float(c.amplitude * std::sin(2 * std::numbers::pi * 1000 * n / c.rate)));
      clip.right.push_back(0);
    }
    const HostSlice slice = SliceOf(clip, 2);
    EXPECT_EQ(slice.spectrum[0][c.bin], c.level) << c.rate << ", bin " << c.bin;
    EXPECT_EQ(slice.spectrum[1][c.bin], 0) << "the silent right channel";
  }
}

TEST(SliceAnalyser, WaveformIsSignedEightBitAndSlicesStartEvery25Ms) {
  AudioClip clip;
  clip.left = {0.0f, 1.0f, -1.0f, 0.5f, -0.5f, 0.004f, -0.004f};
  clip.right.resize(7);
  const HostSlice slice = SliceOf(clip, 0);
  const int8_t expected[] = {0, 127, -128, 64, -64, 0, 0, 0};  // past the end: silence
  for (int i = 0; i < 8; ++i) EXPECT_EQ(int8_t(slice.waveform[0][i]), expected[i]) << i;
  EXPECT_EQ(SliceStart(1, 44100), 1102);  // 1102.5 truncated
  EXPECT_EQ(SliceStart(2, 44100), 2205);
  EXPECT_EQ(SliceStart(40, 48000), 48000);
  clip.sample_rate = 8000;
  clip.left.resize(8000);
  EXPECT_EQ(SliceCount(clip), 40);
}

// Each passage of the demo shows the colour it is written for, brightly, and the break is quiet:
// the means over a passage of each colour channel's five bits that reach the picture (the plug-in
// keeps the low 16 bits of level x 124, so a level that wraps turns dark) and of the loudness, as
// the plug-in's frame colour and loudness read the slices.
TEST(DemoTrack, PassagesShowTheirColours) {
  const AudioClip clip = SynthesizeDemoTrack();
  ASSERT_EQ(clip.frames(), int64_t(kDemoSeconds * 44100));
  const struct {
    double from, to;
    bool rgb[3], loud;
  } passages[] = {
      {0.5, 3, {1, 0, 0}, 1},   {3.5, 6, {1, 0, 1}, 1},   {6.5, 12, {1, 1, 0}, 1},
      {12.5, 18, {0, 1, 0}, 1}, {18.5, 24, {0, 0, 1}, 1}, {24.5, 32, {1, 1, 1}, 1},
      {32.5, 38, {0, 1, 1}, 0},
  };
  SliceAnalyser analyser;
  HostSlice slice{};
  for (const auto& e : passages) {
    double mean[4] = {};  // red, green, blue, loudness
    const int first = int(e.from * 40), count = int(e.to * 40) - first;
    for (int k = first; k < first + count; ++k) {
      analyser.Analyse(clip, k, slice);
      CopyHostSamples(slice.spectrum,
                      reinterpret_cast<const char(*)[kHostSampleCount]>(slice.waveform));
      AnalyseAudioFrame();
      BeginEffectFrame();  // no picture to dissolve, no starburst allowed: the colour only
      const int rgb[3] = {Scene.FrameColour.red, Scene.FrameColour.green, Scene.FrameColour.blue};
      for (int c = 0; c < 3; ++c) mean[c] += double((rgb[c] & 0xFFFF) >> 11) / count;
      mean[3] += double(Scene.loudness) / count;
    }
    for (int c = 0; c < 3; ++c)
      EXPECT_TRUE(e.rgb[c] ? mean[c] > 15 : mean[c] < 6)
          << e.from << " s, " << c << ": " << mean[c];
    EXPECT_TRUE(e.loud ? mean[3] > 3000 : mean[3] < 2600) << e.from << " s: " << mean[3];
  }
}

}  // namespace
}  // namespace vevirur
