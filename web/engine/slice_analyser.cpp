#include "slice_analyser.h"

#include <cmath>
#include <cstdint>

namespace web {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFloorDb = 60;
constexpr double kDbPerStep = 3;

}  // namespace

SliceAnalyser::SliceAnalyser() {
  double sum = 0;
  for (int i = 0; i < kFftSize; ++i) {
    window_[size_t(i)] = 0.5 - 0.5 * std::cos(2 * kPi * i / kFftSize);
    sum += window_[size_t(i)];
    twiddles_[size_t(i)] = std::polar(1.0, -2 * kPi * i / kFftSize);
  }
  // A sine of amplitude A centred on a bin gives |X| = A * sum / 2.
  amplitude_scale_ = 2.0 / sum;
}

// Mixed-radix decimation in time (1152 = 2^7 x 3^2): `size` points of `data` taken `stride`
// apart go transformed into out[0..size). Uses scratch_ for the sub-transforms' results.
void SliceAnalyser::Transform(std::complex<double>* data, int size, int stride,
                              std::complex<double>* out) {
  if (size == 1) {
    out[0] = data[0];
    return;
  }
  const int radix = size % 2 == 0 ? 2 : 3;
  const int part = size / radix;
  // Sub-transform r of the samples r, r + radix, ... lands in out[r * part ...].
  for (int r = 0; r < radix; ++r)
    Transform(data + r * stride, part, stride * radix, out + r * part);
  const int twiddle_step = kFftSize / size;
  std::complex<double> column[3];
  for (int k = 0; k < part; ++k) {
    for (int r = 0; r < radix; ++r)
      column[r] = out[r * part + k] * twiddles_[size_t(r * k * twiddle_step % kFftSize)];
    for (int q = 0; q < radix; ++q) {
      std::complex<double> sum = 0;
      for (int r = 0; r < radix; ++r)
        sum += column[r] * twiddles_[size_t((r * q * part * twiddle_step) % kFftSize)];
      scratch_[size_t(q * part + k)] = sum;
    }
  }
  for (int i = 0; i < size; ++i) out[i] = scratch_[size_t(i)];
}

void SliceAnalyser::Analyse(const float (&channels)[2][kFftSize], Slice& out) {
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < kFftSize; ++i) in_[size_t(i)] = double(channels[c][i]) * window_[size_t(i)];
    Transform(in_.data(), kFftSize, 1, out_.data());
    for (int k = 0; k < kSliceSamples; ++k) {
      const double amplitude = std::abs(out_[size_t(k)]) * amplitude_scale_;
      const double level =
          amplitude > 0 ? std::trunc((20 * std::log10(amplitude) + kFloorDb) / kDbPerStep) : 0;
      out.spectrum[c][k] = static_cast<unsigned char>(level < 0 ? 0 : level > 255 ? 255 : level);
    }
    for (int i = 0; i < kSliceSamples; ++i) {
      const double value = channels[c][i];
      double scaled = std::isnan(value) ? 0.0 : std::trunc(value * 128.0);
      if (scaled > 127) scaled = 127;
      if (scaled < -128) scaled = -128;
      out.waveform[c][i] = static_cast<unsigned char>(static_cast<int8_t>(scaled));
    }
  }
}

}  // namespace web
