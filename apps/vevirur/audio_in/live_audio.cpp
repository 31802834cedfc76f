#include "audio_in/live_audio.h"

#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

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
// it says so and connects again once a second until the server is back. The thread never waits
// on the server for more than 100 ms at a time, so a server that hangs cannot keep it from
// stopping.
class PulseAudio : public LiveAudio {
 public:
  explicit PulseAudio(const std::string& source) : LiveAudio(kRate), source_(source) {
    if (const int error = Connect()) {
      Disconnect();
      throw AppError(CaptureError(source, error));
    }
    reader_ = std::thread([this] { Run(); });
  }
  ~PulseAudio() override {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    Disconnect();
  }

 private:
  // Handles what the server sent, waiting up to 100 ms for it.
  void Turn() {
    if (pa_mainloop_prepare(loop_, 100000) >= 0 && pa_mainloop_poll(loop_) >= 0)
      pa_mainloop_dispatch(loop_);
  }

  bool Good() const {
    return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) &&
           (!stream_ || PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)));
  }

  // Connects and starts recording: 0, or the error that stopped it.
  int Connect() {
    loop_ = pa_mainloop_new();
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "Vevirur 2");
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
      return pa_context_errno(context_);
    while (Good() && !stop_ && pa_context_get_state(context_) != PA_CONTEXT_READY) Turn();
    if (Good() && !stop_) {
      pa_sample_spec spec{};
      spec.format = PA_SAMPLE_FLOAT32LE;
      spec.rate = kRate;
      spec.channels = 2;
      pa_buffer_attr attr{};
      attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = uint32_t(-1);
      attr.fragsize = uint32_t(kChunkFrames * 2 * sizeof(float));
      stream_ = pa_stream_new(context_, "visualization", &spec, nullptr);
      pa_stream_connect_record(stream_, source_.c_str(), &attr, PA_STREAM_ADJUST_LATENCY);
      while (Good() && !stop_ && pa_stream_get_state(stream_) != PA_STREAM_READY) Turn();
    }
    if (stop_) return PA_ERR_KILLED;
    return Good() ? 0 : pa_context_errno(context_);
  }

  void Disconnect() {
    if (stream_) pa_stream_unref(stream_);
    if (context_) pa_context_disconnect(context_);
    if (context_) pa_context_unref(context_);
    if (loop_) pa_mainloop_free(loop_);
    stream_ = nullptr;
    context_ = nullptr;
    loop_ = nullptr;
  }

  // No frozen music on the screen while nothing arrives.
  void Silence() {
    std::vector<float> silence(size_t(kFftSize) * 2, 0.0f);
    Append(silence.data(), kFftSize);
  }

  // Takes in what has arrived; false once the connection is gone. A source that sends nothing
  // for half a second (a hung server) is shown as silence.
  bool Read() {
    Turn();
    const void* data = nullptr;
    size_t bytes = 0;
    const auto now = std::chrono::steady_clock::now();
    while (Good() && pa_stream_readable_size(stream_) > 0 &&
           pa_stream_peek(stream_, &data, &bytes) == 0 && bytes > 0) {
      if (data) Append(static_cast<const float*>(data), int(bytes / (2 * sizeof(float))));
      pa_stream_drop(stream_);
      last_data_ = now;
    }
    if (now - last_data_ > std::chrono::milliseconds(500)) {
      Silence();
      last_data_ = now;
    }
    return Good();
  }

  void Run() {
    while (!stop_) {
      if (loop_ && Read()) continue;
      if (loop_) {
        Disconnect();
        Silence();
        Report("Sound server lost; reconnecting");
      }
      for (int i = 0; i < 10 && !stop_; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (stop_) break;
      if (Connect() == 0) {
        Report("Sound server back");
      } else {
        Disconnect();
      }
    }
  }
  std::string source_;
  pa_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  std::chrono::steady_clock::time_point last_data_ = std::chrono::steady_clock::now();
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
