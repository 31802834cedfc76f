#include "audio_in/slice_analyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "effects/audio_samples.h"
#include "pipeline/sample_copy.h"

namespace vevirur {
namespace {

AudioClip Sine(double hz, double amplitude, int rate = 44100, double seconds = 0.2) {
  AudioClip clip;
  clip.sample_rate = rate;
  for (int n = 0; n < int(rate * seconds); ++n) {
    clip.left.push_back(float(amplitude * std::sin(2 * 3.141592653589793 * hz * n / rate)));
    clip.right.push_back(0.0f);
  }
  return clip;
}

HostSlice SliceOf(const AudioClip& clip, int64_t index) {
  SliceAnalyser analyser;
  HostSlice slice;
  std::memset(&slice, 0x55, sizeof slice);  // every byte must be written
  analyser.Analyse(clip, index, slice);
  return slice;
}

TEST(SliceAnalyser, OneKilohertzSineLandsInItsBins) {
  // Bins are 44100 / 1152 = 38.28 Hz apart: 1000 Hz is bin 26.12.
  const HostSlice slice = SliceOf(Sine(1000, 0.5), 2);
  int peak = 0;
  for (int k = 0; k < kHostSamples; ++k)
    if (slice.spectrum[0][k] > slice.spectrum[0][peak]) peak = k;
  EXPECT_EQ(peak, 26);
  // Half of full scale is -6 dB: (60 - 6) / 3 = 18, a little less for the bin offset.
  EXPECT_EQ(slice.spectrum[0][26], 17);
  EXPECT_EQ(slice.spectrum[0][27], 16);  // the Hann main lobe spans two bins each side
  EXPECT_EQ(slice.spectrum[0][25], 15);
  for (int k = 0; k < kHostSamples; ++k) {
    if (k < 23 || k > 29) {
      EXPECT_EQ(slice.spectrum[0][k], 0) << "bin " << k;
    }
    EXPECT_EQ(slice.spectrum[1][k], 0) << "the silent right channel, bin " << k;
  }
}

TEST(SliceAnalyser, SineAtFortyEightKilohertzRate) {
  // 48000 / 1152 = 41.67 Hz: 1000 Hz is bin 24.
  const HostSlice slice = SliceOf(Sine(1000, 1.0, 48000), 1);
  EXPECT_EQ(slice.spectrum[0][24], 19);  // full scale, 0 dB: 20 less a rounding hair
  EXPECT_EQ(slice.spectrum[0][30], 0);
}

TEST(SliceAnalyser, WaveformIsSignedEightBit) {
  AudioClip clip;
  clip.left = {0.0f, 1.0f, -1.0f, 0.5f, -0.5f, 0.004f, -0.004f};
  clip.right = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  const HostSlice slice = SliceOf(clip, 0);
  const int8_t expected[] = {0, 127, -128, 64, -64, 0, 0};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(int8_t(slice.waveform[0][i]), expected[i]) << i;
  // Past the end of the audio: silence.
  EXPECT_EQ(slice.waveform[0][100], 0);
}

TEST(SliceAnalyser, SilenceBecomesMidScaleInTheSampleArrays) {
  const HostSlice slice = SliceOf(Sine(0, 0.0), 3);
  CopyHostSamples(slice.spectrum,
                  reinterpret_cast<const char(*)[kHostSampleCount]>(slice.waveform));
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < 1023; ++i) {
      ASSERT_EQ(Samples.WaveSamples[c][i], 128) << c << ' ' << i;
      ASSERT_EQ(Samples.SpectrumSamples[c][i], 0) << c << ' ' << i;
    }
    EXPECT_EQ(Samples.WaveSamples[c][1023], 0);
  }
}

TEST(SliceAnalyser, SlicesStartEveryTwentyFiveMilliseconds) {
  EXPECT_EQ(SliceStart(0, 44100), 0);
  EXPECT_EQ(SliceStart(1, 44100), 1102);  // 1102.5 truncated
  EXPECT_EQ(SliceStart(2, 44100), 2205);
  EXPECT_EQ(SliceStart(40, 48000), 48000);
  AudioClip clip = Sine(100, 0.1, 8000, 1.0);
  EXPECT_EQ(SliceCount(clip), 40);
}

}  // namespace
}  // namespace vevirur
