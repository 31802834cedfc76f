#include "pipeline/sample_copy.h"

#include "effects/audio_samples.h"

namespace {

constexpr int kFirstHostSample = 10;
constexpr int kCopiedSamples = 341;  // host samples 10..350
constexpr int kRepeat = 3;

// The float products are exact here; truncation and the 8-bit store give (s x 10) mod 256.
unsigned char SpectrumLevel(unsigned char host) {
  return static_cast<unsigned char>(int(float(host) * 10.0f));
}

unsigned char WaveLevel(char host) {
  return static_cast<unsigned char>(int(float(static_cast<signed char>(host) + 128) * 1.0f));
}

}  // namespace

void CopyHostSamples(const unsigned char spectrum[2][kHostSampleCount],
                     const char waveform[2][kHostSampleCount]) {
  for (int i = 0; i < kCopiedSamples; ++i) {
    const int host = kFirstHostSample + i;
    for (int channel = 0; channel < 2; ++channel) {
      const unsigned char level = SpectrumLevel(spectrum[channel][host]);
      const unsigned char wave = WaveLevel(waveform[channel][host]);
      for (int k = 0; k < kRepeat; ++k) {
        Samples.SpectrumSamples[channel][kRepeat * i + k] = level;
        Samples.WaveSamples[channel][kRepeat * i + k] = wave;
      }
    }
  }
  Samples.WaveSamples[0][1023] = 0;
  Samples.WaveSamples[1][1023] = 0;
}
