#include "frame_sink.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "app_error.h"
#include "command_line.h"
#include "png_frame_sink.h"
#include "video_frame_sink.h"

namespace vevirur {
namespace {

// Two frames in flight are enough to keep the encoder busy while the next one renders.
constexpr size_t kQueueLimit = 2;

class AsyncSink : public FrameSink {
 public:
  explicit AsyncSink(std::unique_ptr<FrameSink> inner)
      : inner_(std::move(inner)), worker_([this] { Run(); }) {}

  ~AsyncSink() override {
    Stop();
    if (!finished_) inner_->Abort();
  }

  void Write(const Picture& picture) override {
    // Reuse a finished frame's buffer: a fresh 6 MB allocation per 1080p frame costs more in
    // page faults than the copy itself.
    Picture copy;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      space_.wait(lock, [&] { return queue_.size() + in_flight_ < kQueueLimit || error_; });
      Rethrow();
      if (!spare_.empty()) {
        copy = std::move(spare_.back());
        spare_.pop_back();
      }
    }
    copy.width = picture.width;
    copy.height = picture.height;
    copy.rgb.assign(picture.rgb.begin(), picture.rgb.end());
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(copy));
    work_.notify_one();
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
  void Run() {
    for (;;) {
      Picture picture;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        work_.wait(lock, [&] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        picture = std::move(queue_.front());
        queue_.pop_front();
        in_flight_ = 1;
      }
      try {
        inner_->Write(picture);
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
      spare_.push_back(std::move(picture));
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
  std::deque<Picture> queue_;
  std::vector<Picture> spare_;
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
