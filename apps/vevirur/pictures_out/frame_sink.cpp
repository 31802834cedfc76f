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

// Frames queued, being converted or being encoded: enough for the engine to run ahead while the
// encoder takes a slow frame, and for the converter to keep ahead of the encoder.
constexpr size_t kQueueLimit = 4;
// How often a wait for room looks at the interrupt flag.
constexpr auto kCancelPoll = std::chrono::milliseconds(50);

// Two threads: the converter turns pictures into 4:2:0 planes (when the sink takes them) and the
// writer hands everything, in order, to the sink; so the encoder's feeding never waits for a
// conversion, and both overlap with the engine.
class AsyncSink : public FrameSink {
  struct Item {
    enum Kind { kPicture, kYuv, kAudio } kind = kPicture;
    Picture picture;
    YuvFrame yuv;  // the planes to write, also those the converter made
    std::vector<float> left, right;
    bool ready = true;  // false until the converter has made its planes
  };

  // Plane buffers the encoder has let go of are used again (converter only).
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
      : inner_(std::move(inner)),
        cancel_(cancel),
        converts_(inner_->TakesYuv()),
        writer_([this] { WriteQueued(); }),
        converter_([this] { ConvertQueued(); }) {}

  ~AsyncSink() override {
    Stop(true);
    if (!finished_) inner_->Abort();
  }

  void Write(const Picture& picture) override {
    Item item = Spare();
    item.kind = Item::kPicture;
    item.picture.width = picture.width;
    item.picture.height = picture.height;
    item.picture.rgb.assign(picture.rgb.begin(), picture.rgb.end());
    item.ready = !converts_;
    Push(std::move(item), true);
  }

  bool TakesYuv() const override { return converts_; }

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
    Stop(false);
    Rethrow();
    inner_->Finish();
    finished_ = true;
  }

  void Abort() noexcept override {
    Stop(true);
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
    const bool ready = item.ready;
    queue_.push_back(std::move(item));
    (ready ? written_ : converted_).notify_one();
  }

  // The first item still to convert, or null (with the lock held). Items stay where they are
  // while converted: only the writer takes them out, and only once they are ready.
  Item* NextToConvert() {
    for (Item& item : queue_)
      if (!item.ready) return &item;
    return nullptr;
  }

  void ConvertQueued() {
    for (;;) {
      Item* item = nullptr;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        converted_.wait(lock, [&] {
          return aborted_ || error_ || (item = NextToConvert()) != nullptr || stopping_;
        });
        if (aborted_ || error_ || item == nullptr) return;
      }
      std::shared_ptr<std::vector<uint8_t>> planes;
      try {
        planes = FreePlanes();
        ConvertToYuv420(item->picture, *planes);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        Fail(std::current_exception());
        return;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      item->yuv = std::move(planes);
      item->ready = true;
      written_.notify_one();
    }
  }

  void WriteQueued() {
    for (;;) {
      Item item;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        written_.wait(lock, [&] {
          return aborted_ || error_ || (!queue_.empty() && queue_.front().ready) ||
                 (stopping_ && queue_.empty());
        });
        if (aborted_ || error_ || queue_.empty()) return;
        item = std::move(queue_.front());
        queue_.pop_front();
      }
      try {
        if (item.yuv) {
          inner_->WriteYuv(item.yuv);
        } else if (item.kind == Item::kPicture) {
          inner_->Write(item.picture);
        } else {
          inner_->WriteAudio(item.left.data(), item.right.data(), item.left.size());
        }
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        Fail(std::current_exception());
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

  // With the lock held: the first error ends both threads and every wait for room.
  void Fail(std::exception_ptr error) {
    if (!error_) error_ = error;
    space_.notify_all();
    converted_.notify_all();
    written_.notify_all();
  }

  // Lets both threads finish what is queued (or drop it, `abort`) and waits for them.
  void Stop(bool abort) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      if (abort) aborted_ = true;
      converted_.notify_all();
      written_.notify_all();
    }
    if (converter_.joinable()) converter_.join();
    if (writer_.joinable()) writer_.join();
    queue_.clear();
  }

  void Rethrow() {
    if (error_) std::rethrow_exception(error_);
  }

  std::unique_ptr<FrameSink> inner_;
  const std::atomic<bool>* cancel_;
  const bool converts_;  // the sink takes 4:2:0 planes, made here
  std::mutex mutex_;
  std::condition_variable converted_, written_, space_;
  std::deque<Item> queue_;
  std::vector<Item> spare_;
  std::vector<std::shared_ptr<std::vector<uint8_t>>> planes_;
  size_t pictures_ = 0;  // pictures queued, being converted or being written
  std::exception_ptr error_;
  bool stopping_ = false;
  bool aborted_ = false;
  bool finished_ = false;
  // Last: they start after everything they use exists.
  std::thread writer_, converter_;
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
