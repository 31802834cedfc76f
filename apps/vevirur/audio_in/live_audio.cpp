#include "audio_in/live_audio.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <cstdio>

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

void LiveAudio::Report(const std::string& news) {
  std::fprintf(stderr, "vevirur: %s\n", news.c_str());
  std::lock_guard<std::mutex> lock(mutex_);
  news_ = news;
}

std::string LiveAudio::TakeNews() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string news;
  news.swap(news_);
  return news;
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

// One line naming the real cause of a failed connection.
std::string CaptureError(const std::string& source, int error) {
  switch (error) {
    case PA_ERR_CONNECTIONREFUSED:
    case PA_ERR_ACCESS:
    case PA_ERR_INVALIDSERVER:
      return std::string("no sound server to capture from (") + pa_strerror(error) +
             "); is PulseAudio or PipeWire running?";
    case PA_ERR_NOENTITY:
      return "there is no sound source named '" + source +
             "' (pactl list sources short lists them)";
    default:
      return "cannot capture sound from " + source + " (" + pa_strerror(error) + ")";
  }
}

// Records from a PulseAudio (or PipeWire) source on its own thread. When the server goes away
// it says so and connects again once a second until the server is back.
class PulseAudio : public LiveAudio {
 public:
  explicit PulseAudio(const std::string& source) : LiveAudio(kRate), source_(source) {
    int error = 0;
    stream_ = Connect(&error);
    if (!stream_) throw AppError(CaptureError(source, error));
    reader_ = std::thread([this] { Run(); });
  }
  ~PulseAudio() override {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    if (stream_) pa_simple_free(stream_);
  }

 private:
  pa_simple* Connect(int* error) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32LE;
    spec.rate = kRate;
    spec.channels = 2;
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.fragsize = uint32_t(kChunkFrames * 2 * sizeof(float));
    return pa_simple_new(nullptr, "Vevirur 2", PA_STREAM_RECORD, source_.c_str(), "visualization",
                         &spec, nullptr, &attr, error);
  }

  void Run() {
    std::vector<float> chunk(size_t(kChunkFrames) * 2);
    int error = 0;
    while (!stop_) {
      if (stream_ &&
          pa_simple_read(stream_, chunk.data(), chunk.size() * sizeof(float), &error) >= 0) {
        Append(chunk.data(), kChunkFrames);
        continue;
      }
      if (stream_) {
        pa_simple_free(stream_);
        stream_ = nullptr;
        std::vector<float> silence(size_t(kFftSize) * 2, 0.0f);
        Append(silence.data(), kFftSize);  // no frozen music on the screen
        Report("Sound server lost; reconnecting");
      }
      for (int i = 0; i < 10 && !stop_; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (stop_) break;
      stream_ = Connect(&error);
      if (stream_) Report("Sound server back");
    }
  }
  std::string source_;
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
