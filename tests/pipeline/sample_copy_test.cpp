#include "pipeline/sample_copy.h"

#include <gtest/gtest.h>

#include <cstring>

#include "effects/audio_samples.h"

namespace {

// Spectrum: ten times the level, kept to eight bits. Waveform: the signed sample plus 128. Host
// sample h (10 to 350) of a channel lands on indices 3(h - 10) .. 3(h - 10) + 2; index 1023 is
// never copied to, and the waveform's is reset.
TEST(SampleCopy, HostSamples10To350BecomeThreeEntriesEach) {
  const struct {
    int channel, host, level, sample, spectrum, wave;
  } cases[] = {{0, 10, 25, -128, 250, 0},
               {0, 11, 26, 0, 4, 128},  // 260 wraps
               {0, 12, 255, 127, 246, 255},
               {1, 350, 7, -1, 70, 127},
               {0, 200, 0, 0, 0, 128}};
  unsigned char spectrum[2][kHostSampleCount];
  char waveform[2][kHostSampleCount];
  std::memset(spectrum, 20, sizeof spectrum);  // host 351 at index 1023 would be 200
  std::memset(waveform, 20, sizeof waveform);
  for (const auto& c : cases) {
    spectrum[c.channel][c.host] = static_cast<unsigned char>(c.level);
    waveform[c.channel][c.host] = static_cast<char>(c.sample);
  }
  Samples = SampleArrays{};
  Samples.WaveSamples[0][1023] = Samples.WaveSamples[1][1023] = 99;
  CopyHostSamples(spectrum, waveform);
  for (const auto& c : cases) {
    for (int k = 0; k < 3; ++k) {
      const int index = 3 * (c.host - 10) + k;
      EXPECT_EQ(Samples.SpectrumSamples[c.channel][index], c.spectrum) << index;
      EXPECT_EQ(Samples.WaveSamples[c.channel][index], c.wave) << index;
    }
  }
  for (int channel : {0, 1}) {
    EXPECT_EQ(Samples.SpectrumSamples[channel][1023], 0);
    EXPECT_EQ(Samples.WaveSamples[channel][1023], 0);
  }
}

}  // namespace
