#pragma once
// Turns 25 ms slices of audio into what a player hands a visualization plug-in per call:
// 576 spectrum bytes and 576 waveform bytes for each of the two channels.
//
// Spectrum: a 1152-point FFT (FFTW3, double precision, planned with FFTW_ESTIMATE so that every
// run computes bit-identical results) over a Hann window that starts at the slice, giving bins
// 0..575 spaced rate / 1152 Hz apart (38.3 Hz at 44.1 kHz, so 576 bins span up to Nyquist).
// Each byte is the bin's level on a decibel scale like a player's analyser bars: one step per
// 3 dB above -60 dBFS, where a full-scale sine centred on a bin reads 20 (0 dBFS), a bin at
// -20 dB reads 13 and anything under -57 dB reads 0. The engine multiplies the bytes by 10
// and turns band means of about 3 into full colour, so the treble of ordinary music (-45 to
// -55 dB) still tints the picture while strong tones (13 and up) fire the emitters.
// Waveform: the first 576 samples of the slice as signed 8-bit values (x 128, truncated toward
// zero, clamped to -128..127), stored in unsigned bytes as the player does.
#include <array>
#include <cstdint>
#include <memory>

#include "audio_in/audio_clip.h"

namespace vevirur {

constexpr int kSliceMilliseconds = 25;
constexpr int kHostSamples = 576;
constexpr int kFftSize = 2 * kHostSamples;

struct HostSlice {
  unsigned char spectrum[2][kHostSamples];
  unsigned char waveform[2][kHostSamples];
};

// First sample of slice `index` (slices start every 25 ms of audio).
int64_t SliceStart(int64_t index, int sample_rate);
// Number of 25 ms slices that cover the clip (the last one may be partly past the end).
int64_t SliceCount(const AudioClip& clip);

class SliceAnalyser {
 public:
  SliceAnalyser();
  ~SliceAnalyser();
  SliceAnalyser(const SliceAnalyser&) = delete;
  SliceAnalyser& operator=(const SliceAnalyser&) = delete;

  // Samples past either end of the channels count as silence.
  void Analyse(const float* left, const float* right, int64_t frames, int64_t start,
               HostSlice& out);
  void Analyse(const AudioClip& clip, int64_t slice_index, HostSlice& out) {
    Analyse(clip.left.data(), clip.right.data(), clip.frames(),
            SliceStart(slice_index, clip.sample_rate), out);
  }

 private:
  void Spectrum(const float* samples, int64_t frames, int64_t start, unsigned char* out);

  struct Fft;
  std::unique_ptr<Fft> fft_;
  std::array<double, kFftSize> window_{};
  double amplitude_scale_ = 0;
};

}  // namespace vevirur
