#include "pictures_out/frame_sink.h"

#include <chrono>
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
#include "pictures_out/yuv_convert.h"

namespace vevirur {
namespace {

// Frames queued or being written: enough for the engine to run ahead while the encoder takes a
// slow frame.
constexpr size_t kQueueLimit = 4;
// How often a wait for room looks at the interrupt flag.
constexpr auto kCancelPoll = std::chrono::milliseconds(50);

class AsyncSink : public FrameSink {
  struct Item {
    enum Kind { kPicture, kYuv, kAudio } kind = kPicture;
    Picture picture;
    YuvFrame yuv;
    std::vector<float> left, right;
  };

  // Plane buffers the encoder has let go of are used again (worker only).
  std::shared_ptr<std::vector<uint8_t>> FreePlanes() {
    for (auto& buffer : planes_)
      if (buffer.use_count() == 1) {
        std::atomic_thread_fence(std::memory_order_acquire);  // after the encoder's release
        return buffer;
      }
    planes_.push_back(std::make_shared<std::vector<uint8_t>>());
    return planes_.back();
  }

 public:
  AsyncSink(std::unique_ptr<FrameSink> inner, const std::atomic<bool>* cancel)
      : inner_(std::move(inner)), cancel_(cancel), worker_([this] { Run(); }) {}

  ~AsyncSink() override {
    Stop();
    if (!finished_) inner_->Abort();
  }

  void Write(const Picture& picture) override {
    Item item = Spare();
    item.kind = Item::kPicture;
    item.picture.width = picture.width;
    item.picture.height = picture.height;
    item.picture.rgb.assign(picture.rgb.begin(), picture.rgb.end());
    Push(std::move(item), true);
  }

  bool TakesYuv() const override { return inner_->TakesYuv(); }

  void WriteYuv(const YuvFrame& yuv) override {
    Item item = Spare();
    item.kind = Item::kYuv;
    item.yuv = yuv;
    Push(std::move(item), true);
  }

  // Sound is small and comes a slice ahead of the pictures; it never waits for room.
  void WriteAudio(const float* left, const float* right, size_t frames) override {
    Item item;
    item.kind = Item::kAudio;
    item.left.assign(left, left + frames);
    item.right.assign(right, right + frames);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Rethrow();
    }
    Push(std::move(item), false);
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
  // Waits for room in the queue and reuses a finished picture's buffer: a fresh 6 MB allocation
  // per 1080p frame costs more in page faults than the copy itself.
  Item Spare() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (pictures_ >= kQueueLimit && !error_) {
      if (cancel_ && cancel_->load()) throw Interrupted();
      space_.wait_for(lock, kCancelPoll);
    }
    Rethrow();
    Item item;
    if (!spare_.empty()) {
      item = std::move(spare_.back());
      spare_.pop_back();
    }
    return item;
  }

  void Push(Item item, bool picture) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (picture) ++pictures_;
    queue_.push_back(std::move(item));
    work_.notify_one();
  }

  void Run() {
    for (;;) {
      Item item;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        work_.wait(lock, [&] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        item = std::move(queue_.front());
        queue_.pop_front();
      }
      try {
        if (item.kind == Item::kPicture && inner_->TakesYuv()) {
          // Converted here, in parallel with the engine, into planes used again.
          auto planes = FreePlanes();
          ConvertToYuv420(item.picture, *planes);
          inner_->WriteYuv(planes);
        } else if (item.kind == Item::kPicture) {
          inner_->Write(item.picture);
        } else if (item.kind == Item::kYuv) {
          inner_->WriteYuv(item.yuv);
        } else {
          inner_->WriteAudio(item.left.data(), item.right.data(), item.left.size());
        }
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = std::current_exception();
        queue_.clear();
        pictures_ = 0;
        space_.notify_all();
        return;
      }
      item.yuv.reset();
      std::lock_guard<std::mutex> lock(mutex_);
      if (item.kind != Item::kAudio) {
        --pictures_;
        if (item.kind == Item::kPicture) spare_.push_back(std::move(item));
      }
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
  const std::atomic<bool>* cancel_;
  std::mutex mutex_;
  std::condition_variable work_, space_;
  std::deque<Item> queue_;
  std::vector<Item> spare_;
  std::vector<std::shared_ptr<std::vector<uint8_t>>> planes_;
  size_t pictures_ = 0;  // pictures queued or being written
  std::exception_ptr error_;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread worker_;  // last: starts after everything it uses exists
};

}  // namespace

std::unique_ptr<FrameSink> OpenFrameSink(const std::string& output, const SinkOptions& options) {
  if (IsFrameFolder(output)) return std::make_unique<PngFrameSink>(output);
  return std::make_unique<VideoFrameSink>(output, options);
}

std::unique_ptr<FrameSink> MakeAsyncSink(std::unique_ptr<FrameSink> inner,
                                         const std::atomic<bool>* cancel) {
  return std::make_unique<AsyncSink>(std::move(inner), cancel);
}

}  // namespace vevirur
