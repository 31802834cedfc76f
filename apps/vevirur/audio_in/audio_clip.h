#pragma once
// Stereo audio held in memory, as floating-point samples in -1..1 (the demo track, tests).
#include <cstdint>
#include <vector>

namespace vevirur {

struct AudioClip {
  int sample_rate = 44100;
  std::vector<float> left;
  std::vector<float> right;

  int64_t frames() const { return int64_t(left.size()); }
  double seconds() const { return double(left.size()) / sample_rate; }
};

}  // namespace vevirur
