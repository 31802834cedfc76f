#include "pipeline/sample_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  // Samples outside 10..350 would arrive as 200 and 148, the others as 10 and 129.
  std::memset(spectrum, 20, sizeof spectrum);
  std::memset(waveform, 20, sizeof waveform);
  for (int c = 0; c < 2; ++c) {
    std::memset(spectrum[c] + 10, 1, 341);
    std::memset(waveform[c] + 10, 1, 341);
  }
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
      SCOPED_TRACE(testing::Message() << "channel " << c.channel << " index " << index);
      EXPECT_EQ(Samples.SpectrumSamples[c.channel][index], c.spectrum);
      EXPECT_EQ(Samples.WaveSamples[c.channel][index], c.wave);
    }
  }
  const int plain[2] = {1023 - 4 * 3, 1023 - 3};  // the entries of no case
  for (int channel : {0, 1}) {
    const unsigned char* level = Samples.SpectrumSamples[channel];
    const unsigned char* wave = Samples.WaveSamples[channel];
    EXPECT_EQ(std::count(level, level + 1023, 10), plain[channel]);
    EXPECT_EQ(std::count(wave, wave + 1023, 129), plain[channel]);
    EXPECT_EQ(level[1023], 0);
    EXPECT_EQ(wave[1023], 0);
  }
}

}  // namespace
