#include "audio_in/slice_analyser.h"

#include <fftw3.h>

#include <cmath>
#include <mutex>

namespace vevirur {
namespace {

// The FFTW planner is not thread-safe; executing a plan is.
std::mutex planner_mutex;

constexpr double kPi = 3.141592653589793;
constexpr double kFloorDb = 60;
constexpr double kDbPerStep = 3;

}  // namespace

struct SliceAnalyser::Fft {
  double* in = nullptr;
  fftw_complex* out = nullptr;
  fftw_plan plan = nullptr;
};

int64_t SliceStart(int64_t index, int sample_rate) {
  return index * sample_rate * kSliceMilliseconds / 1000;
}

int64_t SliceCount(const AudioClip& clip) {
  int64_t count = 0;
  while (SliceStart(count, clip.sample_rate) < clip.frames()) ++count;
  return count;
}

SliceAnalyser::SliceAnalyser() : fft_(std::make_unique<Fft>()) {
  std::lock_guard<std::mutex> lock(planner_mutex);
  fft_->in = fftw_alloc_real(kFftSize);
  fft_->out = fftw_alloc_complex(kFftSize / 2 + 1);
  fft_->plan = fftw_plan_dft_r2c_1d(kFftSize, fft_->in, fft_->out, FFTW_ESTIMATE);
  double sum = 0;
  for (int i = 0; i < kFftSize; ++i) {
    window_[size_t(i)] = 0.5 - 0.5 * std::cos(2 * kPi * i / kFftSize);
    sum += window_[size_t(i)];
  }
  // A sine of amplitude A centred on a bin gives |X| = A * sum / 2.
  amplitude_scale_ = 2.0 / sum;
}

SliceAnalyser::~SliceAnalyser() {
  std::lock_guard<std::mutex> lock(planner_mutex);
  fftw_destroy_plan(fft_->plan);
  fftw_free(fft_->in);
  fftw_free(fft_->out);
}

void SliceAnalyser::Spectrum(const float* samples, int64_t frames, int64_t start,
                             unsigned char* out) {
  for (int i = 0; i < kFftSize; ++i) {
    int64_t at = start + i;
    double value = (at >= 0 && at < frames) ? samples[at] : 0.0;
    fft_->in[i] = value * window_[size_t(i)];
  }
  fftw_execute(fft_->plan);
  for (int k = 0; k < kHostSamples; ++k) {
    double amplitude = std::hypot(fft_->out[k][0], fft_->out[k][1]) * amplitude_scale_;
    double level =
        amplitude > 0 ? std::trunc((20 * std::log10(amplitude) + kFloorDb) / kDbPerStep) : 0;
    out[k] = static_cast<unsigned char>(level < 0 ? 0 : level > 255 ? 255 : level);
  }
}

void SliceAnalyser::Analyse(const float* left, const float* right, int64_t frames, int64_t start,
                            HostSlice& out) {
  const float* channels[2] = {left, right};
  for (int c = 0; c < 2; ++c) {
    Spectrum(channels[c], frames, start, out.spectrum[c]);
    for (int i = 0; i < kHostSamples; ++i) {
      int64_t at = start + i;
      double value = (at >= 0 && at < frames) ? channels[c][at] : 0.0;
      double scaled = std::trunc(value * 128.0);
      if (scaled > 127) scaled = 127;
      if (scaled < -128) scaled = -128;
      out.waveform[c][i] = static_cast<unsigned char>(static_cast<int8_t>(scaled));
    }
  }
}

}  // namespace vevirur
