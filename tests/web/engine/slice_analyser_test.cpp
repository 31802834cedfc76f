// The web page's slice analyser: the bytes a player hands over, with the Linux front end's meaning.
#include "slice_analyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;

struct Input {
  float samples[2][web::kFftSize] = {};
};

web::Slice Analyse(const Input& input) {
  static web::SliceAnalyser analyser;
  web::Slice slice{};
  analyser.Analyse(input.samples, slice);
  return slice;
}

// A sine of `hz` at `rate` in the left channel, from the start of 25 ms slice `slice` on.
Input Sine(double hz, double amplitude, int rate, int slice) {
  Input input;
  const int64_t start = int64_t(slice) * rate * 25 / 1000;
  for (int i = 0; i < web::kFftSize; ++i)
    input.samples[0][i] = float(amplitude * std::sin(2 * kPi * hz * double(start + i) / rate));
  return input;
}

TEST(SliceAnalyser, SinesReadTheLinuxFrontEndsLevels) {
  // The same bytes as the front end's FFTW analyser for the same sines: 1000 Hz at 44.1 kHz is
  // bin 26.12 (-6 dB reads 17 there, the Hann main lobe 16 and 15 beside it); full scale at
  // 48 kHz, bin 24, reads 20 less a rounding hair; -20 dB reads 13.
  const struct {
    double hz, amplitude;
    int rate, bin, level;
  } cases[] = {{1000, 0.5, 44100, 26, 17}, {1000, 0.5, 44100, 27, 16},
               {1000, 0.5, 44100, 25, 15}, {1000, 0.5, 44100, 22, 0},
               {1000, 1.0, 48000, 24, 19}, {1000, 1.0, 48000, 30, 0},
               {1000, 0.1, 48000, 24, 13}, {40 * 48000.0 / 1152, 0.12, 48000, 40, 13}};
  for (const auto& c : cases) {
    const web::Slice slice = Analyse(Sine(c.hz, c.amplitude, c.rate, 2));
    EXPECT_EQ(slice.spectrum[0][c.bin], c.level)
        << c.hz << " Hz x " << c.amplitude << " at " << c.rate << ", bin " << c.bin;
    EXPECT_EQ(slice.spectrum[1][c.bin], 0) << "the silent right channel";
  }
}

TEST(SliceAnalyser, MatchesADirectTransformOfNoise) {
  Input input;
  uint32_t state = 12345;
  for (auto& channel : input.samples)
    for (float& sample : channel) {
      state = state * 1664525u + 1013904223u;
      sample = float(int32_t(state) / 2147483648.0 * 0.5);
    }
  const web::Slice slice = Analyse(input);
  double window_sum = 0;
  for (int i = 0; i < web::kFftSize; ++i)
    window_sum += 0.5 - 0.5 * std::cos(2 * kPi * i / web::kFftSize);
  int differing = 0;
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < web::kSliceSamples; ++k) {
      std::complex<double> sum = 0;
      for (int i = 0; i < web::kFftSize; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * kPi * i / web::kFftSize);
        sum += input.samples[c][i] * w *
               std::polar(1.0, -2 * kPi * double(int64_t(k) * i % web::kFftSize) / web::kFftSize);
      }
      const double amplitude = std::abs(sum) * 2 / window_sum;
      double level = std::trunc((20 * std::log10(amplitude) + 60) / 3);
      level = level < 0 ? 0 : level > 255 ? 255 : level;
      differing += slice.spectrum[c][k] != int(level);
    }
  EXPECT_EQ(differing, 0);
}

TEST(SliceAnalyser, WaveformIsSignedEightBitTruncatedAndClamped) {
  const struct {
    float sample;
    int byte;
  } cases[] = {{0.0f, 0},
               {0.5f, 64},
               {-0.5f, 0xC0},
               {0.999f, 127},
               {1.0f, 127},
               {2.5f, 127},
               {-1.0f, 0x80},
               {-3.0f, 0x80},
               {-0.004f, 0},
               {0.0078125f, 1},
               {std::numeric_limits<float>::quiet_NaN(), 0},
               {std::numeric_limits<float>::infinity(), 127}};
  Input input;
  for (size_t i = 0; i < std::size(cases); ++i) input.samples[1][i] = cases[i].sample;
  const web::Slice slice = Analyse(input);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(slice.waveform[1][i], cases[i].byte) << "sample " << cases[i].sample;
    EXPECT_EQ(slice.waveform[0][i], 0);
  }
}

TEST(SliceAnalyser, SilenceAndBadSamplesReadZeroSpectrum) {
  Input silence;
  Input broken;
  for (float& sample : broken.samples[0]) sample = std::numeric_limits<float>::quiet_NaN();
  for (const Input* input : {&silence, &broken}) {
    const web::Slice slice = Analyse(*input);
    for (int k = 0; k < web::kSliceSamples; ++k) ASSERT_EQ(slice.spectrum[0][k], 0) << "bin " << k;
  }
}

}  // namespace
