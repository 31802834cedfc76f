#pragma once
// The render's progress bar (only when stderr is a terminal) and its closing speed line.
#include <chrono>
#include <cstdio>

namespace vevirur {

class ProgressMeter {
 public:
  explicit ProgressMeter(bool terminal);
  // `total` 0: unknown (a stream of unknown length): frames and speed only.
  void Update(int done, int total);
  // Ends the bar and prints "speed: 12.3x real time" on stdout.
  void Finish(double audio_seconds_done);
  // Ends the bar without a speed line (a failed or interrupted render).
  void Abandon();
  double Speed(double audio_seconds_done) const;

 private:
  bool terminal_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_;
};

}  // namespace vevirur
