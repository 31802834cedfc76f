#pragma once
// Stereo sound read piece by piece, so that a render holds only the few thousand samples it is
// analysing, however long the input is.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "audio_in/audio_clip.h"

namespace vevirur {

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Appends up to `max_frames` frames to the two channels; returns how many, 0 at the end.
  // Throws AppError when the input fails, Interrupted when a signal asked to stop.
  virtual size_t Read(std::vector<float>& left, std::vector<float>& right, size_t max_frames) = 0;
  virtual int sample_rate() const = 0;
  // The length announced by the input, for progress only; 0 when unknown (a stream in a pipe).
  virtual double ExpectedSeconds() const = 0;
};

// A clip already in memory (the demo track, tests).
class ClipSource : public AudioSource {
 public:
  explicit ClipSource(const AudioClip& clip) : clip_(clip) {}
  size_t Read(std::vector<float>& left, std::vector<float>& right, size_t max_frames) override {
    size_t n = std::min(max_frames, clip_.left.size() - at_);
    left.insert(left.end(), clip_.left.begin() + long(at_), clip_.left.begin() + long(at_ + n));
    right.insert(right.end(), clip_.right.begin() + long(at_), clip_.right.begin() + long(at_ + n));
    at_ += n;
    return n;
  }
  int sample_rate() const override { return clip_.sample_rate; }
  double ExpectedSeconds() const override { return clip_.seconds(); }

 private:
  const AudioClip& clip_;
  size_t at_ = 0;
};

}  // namespace vevirur
