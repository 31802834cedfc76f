#pragma once
// Live audio for the window: a capture thread keeps the most recent stereo samples, and each
// 25 ms host call takes a slice's worth from the newest end.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio_in/slice_analyser.h"

namespace vevirur {

// Source names that are not PulseAudio's: the built-in demo track, played silently in real
// time (for tests and machines without a sound server).
constexpr const char* kDemoSourceName = "vevirur-demo";

class LiveAudio {
 public:
  virtual ~LiveAudio() = default;
  // Fills `out` from the newest kFftSize frames captured (silence before anything arrived).
  void TakeSlice(SliceAnalyser& analyser, HostSlice& out);
  int sample_rate() const { return sample_rate_; }
  // What happened to the sound since the last call ("Sound server lost; reconnecting"), or "".
  std::string TakeNews();

 protected:
  explicit LiveAudio(int sample_rate);
  void Append(const float* interleaved, int frames);
  // Tells the user on stderr and keeps the news for the window.
  void Report(const std::string& news);

 private:
  int sample_rate_;
  std::mutex mutex_;
  std::vector<float> left_, right_;  // ring of kFftSize frames
  size_t write_ = 0;
  std::string news_;
};

// Opens `name` (empty: the monitor of the default output, "@DEFAULT_MONITOR@") through
// PulseAudio, or the demo source; throws AppError with a one-line reason when it cannot.
std::unique_ptr<LiveAudio> OpenLiveAudio(const std::string& name);

}  // namespace vevirur
