#pragma once
// What a player hands a visualization plug-in for one 25 ms slice of audio, made from the
// slice's samples: 576 spectrum bytes and 576 waveform bytes for each of the two channels, with
// the Linux front end's meaning, computed here by a small portable FFT instead of FFTW3.
//
// Spectrum: a 1152-point FFT over a Hann window that starts at the slice; bins 0..575 are
// rate / 1152 Hz apart. Each byte is the bin's level on a decibel scale like a player's analyser
// bars: one step per 3 dB above -60 dBFS, so a full-scale sine centred on a bin reads 20, a bin
// at -20 dB reads 13 and anything under -57 dB reads 0.
// Waveform: the first 576 samples of the slice as signed 8-bit values (x 128, truncated toward
// zero, clamped to -128..127), stored in unsigned bytes as the player does.
#include <array>
#include <complex>

namespace web {

constexpr int kSliceSamples = 576;
constexpr int kFftSize = 2 * kSliceSamples;

struct Slice {
  unsigned char spectrum[2][kSliceSamples];
  unsigned char waveform[2][kSliceSamples];
};

class SliceAnalyser {
 public:
  SliceAnalyser();
  // `channels` holds kFftSize samples of each channel from the slice's start (silence past the
  // end of the audio as zeros).
  void Analyse(const float (&channels)[2][kFftSize], Slice& out);

 private:
  void Transform(std::complex<double>* data, int size, int stride, std::complex<double>* out);

  std::array<double, kFftSize> window_{};
  std::array<std::complex<double>, kFftSize> twiddles_{};  // e^(-2 pi i k / kFftSize)
  std::array<std::complex<double>, kFftSize> in_{}, out_{}, scratch_{};
  double amplitude_scale_ = 0;
};

}  // namespace web
