// The web page's slice analyser: the bytes a player hands over, with the Linux front end's meaning.
#include "slice_analyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

web::Slice Analyse(const float (&samples)[2][web::kFftSize]) {
  static web::SliceAnalyser analyser;
  web::Slice slice{};
  analyser.Analyse(samples, slice);
  return slice;
}

TEST(SliceAnalyser, TheLinuxFrontEndsBytes) {
  // The same bytes as the front end's FFTW analyser for the same sines: 1000 Hz at 44.1 kHz is
  // bin 26.12 (-6 dB reads 17 there, the Hann main lobe 16 and 15 beside it); full scale at
  // 48 kHz, bin 24, reads 20 less a rounding hair; -20 dB reads 13.
  const struct {
    double hz, amplitude;
    int rate, bin, level;
  } cases[] = {{1000, 0.5, 44100, 26, 17},  {1000, 0.5, 44100, 27, 16},
               {1000, 0.5, 44100, 25, 15},  {1000, 0.5, 44100, 22, 0},
               {1000, 1.0, 48000, 24, 19},  {1000, 1.0, 48000, 30, 0},
               {1000, 0.1, 48000, 24, 13},  {40 * 48000.0 / 1152, 0.12, 48000, 40, 13},
               {15000, 0.5, 44100, 392, 17}};
  for (const auto& c : cases) {
    float samples[2][web::kFftSize] = {};
    const int64_t start = int64_t(2) * c.rate * 25 / 1000;  // slice 2
    for (int i = 0; i < web::kFftSize; ++i)
      samples[0][i] =
          float(c.amplitude * std::sin(2 * std::numbers::pi * c.hz * double(start + i) / c.rate));
    const web::Slice slice = Analyse(samples);
    EXPECT_EQ(slice.spectrum[0][c.bin], c.level)
        << c.hz << " Hz at " << c.rate << ", bin " << c.bin;
    EXPECT_EQ(slice.spectrum[1][c.bin], 0) << "the silent right channel";
  }
  // Samples become signed bytes, truncated and clamped; NaN is silence in the waveform and the
  // spectrum alike.
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = INFINITY;
  const float in[] = {0, 0.5f, -0.5f, 0.999f, 1, 2.5f, -1, -3, -0.004f, 0.0078125f, nan, inf};
  const int out[] = {0, 64, 0xC0, 127, 127, 127, 0x80, 0x80, 0, 1, 0, 127};
  float samples[2][web::kFftSize] = {};
  std::fill_n(samples[0], web::kFftSize, nan);
  std::copy(std::begin(in), std::end(in), samples[1]);
  const web::Slice slice = Analyse(samples);
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(slice.waveform[1][i], out[i]) << in[i];
  for (int k = 0; k < web::kSliceSamples; ++k) ASSERT_EQ(slice.spectrum[0][k], 0) << "bin " << k;
}

}  // namespace
