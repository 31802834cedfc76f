#include "pipeline/sample_copy.h"

#include <gtest/gtest.h>

#include <cstring>

#include "effects/audio_samples.h"

namespace {

struct HostBuffers {
  unsigned char spectrum[2][kHostSampleCount]{};
  char waveform[2][kHostSampleCount]{};
};

// Spectrum: ten times the level, kept to eight bits. Waveform: the signed sample plus 128. Host
// sample h of a channel lands on indices 3(h - 10) .. 3(h - 10) + 2.
TEST(SampleCopy, EachHostSampleBecomesThreeEntries) {
  const struct {
    int channel, host, level, sample, spectrum, wave;
  } cases[] = {{0, 10, 25, -128, 250, 0},
               {0, 11, 26, 0, 4, 128},  // 260 wraps
               {0, 12, 255, 127, 246, 255},
               {1, 350, 7, -1, 70, 127},
               {0, 200, 0, 0, 0, 128}};
  HostBuffers host;
  for (const auto& c : cases) {
    host.spectrum[c.channel][c.host] = static_cast<unsigned char>(c.level);
    host.waveform[c.channel][c.host] = static_cast<char>(c.sample);
  }
  CopyHostSamples(host.spectrum, host.waveform);
  for (const auto& c : cases) {
    for (int k = 0; k < 3; ++k) {
      const int index = 3 * (c.host - 10) + k;
      SCOPED_TRACE(testing::Message() << "channel " << c.channel << " index " << index);
      EXPECT_EQ(Samples.SpectrumSamples[c.channel][index], c.spectrum);
      EXPECT_EQ(Samples.WaveSamples[c.channel][index], c.wave);
    }
  }
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
