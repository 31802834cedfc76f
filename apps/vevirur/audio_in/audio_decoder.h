#pragma once
// Any sound FFmpeg can read — WAV, FLAC, MP3, Ogg, Opus, AAC/M4A, WMA, the soundtrack of a video —
// decoded as a stream: any channel count (mono duplicated, more than two mixed down), any sample
// rate (resampled to kAnalysisRate), any sample format. NaN and infinite samples become silence.
#include <atomic>
#include <memory>
#include <string>

#include "audio_in/audio_source.h"

namespace vevirur {

// The rate the slice analyser works at: a player's analysis rate, 576 bins up to 22 kHz.
constexpr int kAnalysisRate = 44100;

class AudioDecoder : public AudioSource {
 public:
  // `path` "-" reads standard input. Throws AppError with a one-line reason for a missing or
  // unreadable file, a file that is not sound, or one without an audio stream; Interrupted when
  // `cancel` is set while waiting for the input (a FIFO without a writer).
  AudioDecoder(const std::string& path, const std::atomic<bool>* cancel);
  ~AudioDecoder() override;
  size_t Read(std::vector<float>& left, std::vector<float>& right, size_t max_frames) override;
  int sample_rate() const override { return kAnalysisRate; }
  double ExpectedSeconds() const override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vevirur
