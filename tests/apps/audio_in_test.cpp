// The slice analyser's exact bytes, and the demo track's passages as the plug-in's frame colour
// and loudness read them.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio_in/demo_track.h"
#include "audio_in/slice_analyser.h"

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

// The demo is the same on every run and machine: integer noise, no time or randomness from outside.
// Its passages are voiced for the colours they show (red, magenta, yellow, green, blue, near
// white, then a quiet cyan break), checked by eye and by their frame colours when it was written;
// this pins those samples.
TEST(DemoTrack, IsTheSameEveryTime) {
  const AudioClip clip = SynthesizeDemoTrack();
  ASSERT_EQ(clip.frames(), int64_t(kDemoSeconds * 44100));
  uint64_t hash = 1469598103934665603ull;
  for (const std::vector<float>* channel : {&clip.left, &clip.right})
    for (float sample : *channel)
      hash = (hash ^ std::bit_cast<uint32_t>(sample)) * 1099511628211ull;
  EXPECT_EQ(hash, 0x05056c9c4b4e31e8ull);
}

}  // namespace
}  // namespace vevirur
