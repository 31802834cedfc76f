#include "audio_in/live_audio.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>

#include "app_error.h"
#include "audio_in/demo_track.h"

namespace vevirur {

LiveAudio::LiveAudio(int sample_rate)
    : sample_rate_(sample_rate), left_(kFftSize, 0.0f), right_(kFftSize, 0.0f) {}

void LiveAudio::Append(const float* interleaved, int frames) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (int i = 0; i < frames; ++i) {
    left_[write_] = interleaved[2 * i];
    right_[write_] = interleaved[2 * i + 1];
    write_ = (write_ + 1) % kFftSize;
  }
}

void LiveAudio::TakeSlice(SliceAnalyser& analyser, HostSlice& out) {
  std::vector<float> left(kFftSize), right(kFftSize);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < size_t(kFftSize); ++i) {
      left[i] = left_[(write_ + i) % kFftSize];
      right[i] = right_[(write_ + i) % kFftSize];
    }
  }
  analyser.Analyse(left.data(), right.data(), kFftSize, 0, out);
}

namespace {

constexpr int kRate = 44100;
constexpr int kChunkFrames = kRate / 100;  // 10 ms reads keep the newest samples fresh

// Records from a PulseAudio (or PipeWire) source on its own thread.
class PulseAudio : public LiveAudio {
 public:
  explicit PulseAudio(const std::string& source) : LiveAudio(kRate) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32LE;
    spec.rate = kRate;
    spec.channels = 2;
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.fragsize = uint32_t(kChunkFrames * 2 * sizeof(float));
    int error = 0;
    stream_ = pa_simple_new(nullptr, "Vevirur 2", PA_STREAM_RECORD, source.c_str(), "visualization",
                            &spec, nullptr, &attr, &error);
    if (!stream_)
      throw AppError("cannot capture sound from " + source + " (" + pa_strerror(error) +
                     "); is PulseAudio or PipeWire running?");
    reader_ = std::thread([this] { Run(); });
  }
  ~PulseAudio() override {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    pa_simple_free(stream_);
  }

 private:
  void Run() {
    std::vector<float> chunk(size_t(kChunkFrames) * 2);
    int error = 0;
    while (!stop_) {
      if (pa_simple_read(stream_, chunk.data(), chunk.size() * sizeof(float), &error) < 0) return;
      Append(chunk.data(), kChunkFrames);
    }
  }
  pa_simple* stream_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

// The demo track, delivered at the pace of the wall clock and looped.
class DemoAudio : public LiveAudio {
 public:
  DemoAudio() : LiveAudio(kRate), clip_(SynthesizeDemoTrack(kRate)) {
    player_ = std::thread([this] { Run(); });
  }
  ~DemoAudio() override {
    stop_ = true;
    if (player_.joinable()) player_.join();
  }

 private:
  void Run() {
    auto next = std::chrono::steady_clock::now();
    std::vector<float> chunk(size_t(kChunkFrames) * 2);
    int64_t at = 0;
    while (!stop_) {
      for (int i = 0; i < kChunkFrames; ++i, at = (at + 1) % clip_.frames()) {
        chunk[size_t(2 * i)] = clip_.left[size_t(at)];
        chunk[size_t(2 * i + 1)] = clip_.right[size_t(at)];
      }
      Append(chunk.data(), kChunkFrames);
      next += std::chrono::milliseconds(10);
      std::this_thread::sleep_until(next);
    }
  }
  AudioClip clip_;
  std::atomic<bool> stop_{false};
  std::thread player_;
};

}  // namespace

std::unique_ptr<LiveAudio> OpenLiveAudio(const std::string& name) {
  if (name == kDemoSourceName) return std::make_unique<DemoAudio>();
  return std::make_unique<PulseAudio>(name.empty() ? "@DEFAULT_MONITOR@" : name);
}

}  // namespace vevirur
