#include "pipeline/sample_copy.h"

#include <gtest/gtest.h>

#include <cstring>

#include "effects/audio_samples.h"

namespace {

struct HostBuffers {
  unsigned char spectrum[2][kHostSampleCount]{};
  char waveform[2][kHostSampleCount]{};
};

// Host sample h of channel c lands on indices 3(h - 10) .. 3(h - 10) + 2.
void ExpectTriple(const unsigned char* array, int host, unsigned char value) {
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(array[3 * (host - 10) + k], value) << "host sample " << host;
}

TEST(SampleCopy, SpectrumIsTenTimesTheLevelKeptToEightBits) {
  HostBuffers host;
  host.spectrum[0][10] = 25;
  host.spectrum[0][11] = 26;
  host.spectrum[0][12] = 255;
  host.spectrum[1][350] = 7;
  CopyHostSamples(host.spectrum, host.waveform);
  ExpectTriple(Samples.SpectrumSamples[0], 10, 250);
  ExpectTriple(Samples.SpectrumSamples[0], 11, 4);  // 260 wraps
  ExpectTriple(Samples.SpectrumSamples[0], 12, 246);
  ExpectTriple(Samples.SpectrumSamples[1], 350, 70);
  ExpectTriple(Samples.SpectrumSamples[0], 200, 0);
}

TEST(SampleCopy, WaveformIsTheSignedSamplePlus128) {
  HostBuffers host;
  host.waveform[0][10] = char(-128);
  host.waveform[0][11] = 0;
  host.waveform[0][12] = 127;
  host.waveform[1][350] = char(-1);
  CopyHostSamples(host.spectrum, host.waveform);
  ExpectTriple(Samples.WaveSamples[0], 10, 0);
  ExpectTriple(Samples.WaveSamples[0], 11, 128);
  ExpectTriple(Samples.WaveSamples[0], 12, 255);
  ExpectTriple(Samples.WaveSamples[1], 350, 127);
}

TEST(SampleCopy, OnlyHostSamples10To350ReachTheArraysAndIndex1023StaysZero) {
  HostBuffers host;
  // Mark the samples that must never arrive, then the copied ones with their own values.
  for (int c = 0; c < 2; ++c) {
    for (int h = 0; h < kHostSampleCount; ++h) {
      const bool copied = h >= 10 && h <= 350;
      host.spectrum[c][h] = copied ? 1 : 20;  // 10 or 200
      host.waveform[c][h] = copied ? 1 : 50;  // 129 or 178
    }
  }
  std::memset(&Samples, 0, sizeof Samples);
  for (int call = 0; call < 3; ++call) {
    Samples.WaveSamples[0][1023] = 99;  // whatever drew there, the copy resets it
    Samples.WaveSamples[1][1023] = 99;
    CopyHostSamples(host.spectrum, host.waveform);
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < 1023; ++i) {
        ASSERT_EQ(Samples.SpectrumSamples[c][i], 10) << c << ":" << i;
        ASSERT_EQ(Samples.WaveSamples[c][i], 129) << c << ":" << i;
      }
      EXPECT_EQ(Samples.SpectrumSamples[c][1023], 0);
      EXPECT_EQ(Samples.WaveSamples[c][1023], 0);
    }
  }
}

}  // namespace
