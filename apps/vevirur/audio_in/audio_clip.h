#pragma once
// Decoded stereo audio, as floating-point samples in -1..1.
#include <cstdint>
#include <string>
#include <vector>

namespace vevirur {

struct AudioClip {
  int sample_rate = 44100;
  std::vector<float> left;
  std::vector<float> right;

  int64_t frames() const { return int64_t(left.size()); }
  double seconds() const { return double(left.size()) / sample_rate; }
};

// Decodes WAV, FLAC, OGG or MP3 through libsndfile, at most `max_seconds` (<= 0: all of it).
// Accepts 2 channels of 16-bit or wider samples at 8 to 48 kHz; anything else, an unreadable or
// empty file throws AppError with a one-line reason.
AudioClip LoadAudioFile(const std::string& path, double max_seconds);

// Writes the clip as a 16-bit stereo WAV (for muxing into the video); throws AppError on failure.
void WriteWavFile(const std::string& path, const AudioClip& clip);

}  // namespace vevirur
