#pragma once
// The render's progress bar (only when stderr is a terminal) and its closing speed line.
#include <chrono>
#include <cstdio>

namespace vevirur {

class ProgressMeter {
 public:
  ProgressMeter(double audio_seconds, bool terminal);
  void Update(int done, int total);
  // Ends the bar and prints "speed: 12.3x real time" on stdout.
  void Finish(double audio_seconds_done);
  double Speed(double audio_seconds_done) const;

 private:
  double audio_seconds_;
  bool terminal_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_;
};

}  // namespace vevirur
