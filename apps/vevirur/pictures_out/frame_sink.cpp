#include "pictures_out/frame_sink.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "app_error.h"
#include "commands/command_line.h"
#include "pictures_out/png_frame_sink.h"
#include "pictures_out/video_frame_sink.h"

namespace vevirur {
namespace {

// Two frames in flight are enough to keep the encoder busy while the next one renders.
constexpr size_t kQueueLimit = 2;

class AsyncSink : public FrameSink {
  struct Frame {
    bool is_yuv = false;
    Picture picture;
    std::vector<uint8_t> yuv;
  };

 public:
  explicit AsyncSink(std::unique_ptr<FrameSink> inner)
      : inner_(std::move(inner)), worker_([this] { Run(); }) {}

  ~AsyncSink() override {
    Stop();
    if (!finished_) inner_->Abort();
  }

  void Write(const Picture& picture) override {
    Frame frame = SpareFrame();
    frame.is_yuv = false;
    frame.picture.width = picture.width;
    frame.picture.height = picture.height;
    frame.picture.rgb.assign(picture.rgb.begin(), picture.rgb.end());
    Push(std::move(frame));
  }

  bool TakesYuv() const override { return inner_->TakesYuv(); }

  void WriteYuv(const std::vector<uint8_t>& yuv) override {
    Frame frame = SpareFrame();
    frame.is_yuv = true;
    frame.yuv.assign(yuv.begin(), yuv.end());
    Push(std::move(frame));
  }

  void Finish() override {
    Stop();
    Rethrow();
    inner_->Finish();
    finished_ = true;
  }

  void Abort() noexcept override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.clear();
    }
    Stop();
    inner_->Abort();
    finished_ = true;
  }

 private:
  // Waits for room in the queue and reuses a finished frame's buffers: a fresh 6 MB allocation
  // per 1080p frame costs more in page faults than the copy itself.
  Frame SpareFrame() {
    std::unique_lock<std::mutex> lock(mutex_);
    space_.wait(lock, [&] { return queue_.size() + in_flight_ < kQueueLimit || error_; });
    Rethrow();
    Frame frame;
    if (!spare_.empty()) {
      frame = std::move(spare_.back());
      spare_.pop_back();
    }
    return frame;
  }

  void Push(Frame frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(frame));
    work_.notify_one();
  }

  void Run() {
    for (;;) {
      Frame frame;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        work_.wait(lock, [&] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        frame = std::move(queue_.front());
        queue_.pop_front();
        in_flight_ = 1;
      }
      try {
        if (frame.is_yuv)
          inner_->WriteYuv(frame.yuv);
        else
          inner_->Write(frame.picture);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = std::current_exception();
        queue_.clear();
        in_flight_ = 0;
        space_.notify_all();
        return;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      in_flight_ = 0;
      spare_.push_back(std::move(frame));
      space_.notify_all();
    }
  }

  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      work_.notify_one();
    }
    if (worker_.joinable()) worker_.join();
  }

  void Rethrow() {
    if (error_) std::rethrow_exception(error_);
  }

  std::unique_ptr<FrameSink> inner_;
  std::mutex mutex_;
  std::condition_variable work_, space_;
  std::deque<Frame> queue_;
  std::vector<Frame> spare_;
  size_t in_flight_ = 0;
  std::exception_ptr error_;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread worker_;  // last: starts after everything it uses exists
};

}  // namespace

std::unique_ptr<FrameSink> OpenFrameSink(const std::string& output, int width, int height,
                                         const AudioClip& audio) {
  if (IsFrameFolder(output)) return std::make_unique<PngFrameSink>(output);
  return std::make_unique<VideoFrameSink>(output, width, height, audio);
}

std::unique_ptr<FrameSink> MakeAsyncSink(std::unique_ptr<FrameSink> inner) {
  return std::make_unique<AsyncSink>(std::move(inner));
}

}  // namespace vevirur
