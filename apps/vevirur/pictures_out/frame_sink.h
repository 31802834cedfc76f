#pragma once
// Where rendered pictures go: a video file, or a folder of PNG frames.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pictures_out/picture.h"

namespace vevirur {

// Frames per second of the output. The engine paces itself to about 30 new pictures a second
// while the player's calls come every 25 ms, so each output frame shows what the window showed
// at that moment: frame j is the picture presented by the last call at or before j / 30 s.
constexpr int kOutputFramesPerSecond = 30;

// A finished frame's 4:2:0 planes (Y, U, V as ConvertToYuv420 lays them out), shared so that it
// travels to the encoder without copies.
using YuvFrame = std::shared_ptr<const std::vector<uint8_t>>;

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // Throws AppError when the frame cannot be written.
  virtual void Write(const Picture& picture) = 0;
  // Video sinks take frames already in 4:2:0 planes, so the renderer can skip the RGB picture.
  // WriteYuv is only called when TakesYuv() says so.
  virtual bool TakesYuv() const { return false; }
  virtual void WriteYuv(const YuvFrame& yuv) { (void)yuv; }
  // The sound, in order with the pictures (stereo at the render's rate); frame sinks drop it.
  virtual void WriteAudio(const float* left, const float* right, size_t frames) {
    (void)left, (void)right, (void)frames;
  }
  // Completes the output; throws AppError (and leaves nothing behind) on failure.
  virtual void Finish() = 0;
  // Removes whatever was written; never throws.
  virtual void Abort() noexcept = 0;
};

struct SinkOptions {
  int width = 1280;
  int height = 720;
  int audio_rate = 0;  // 0: no sound track
  int quality = 1;     // a Quality of video_encoder.h
  std::string input;   // the input file, which the output may not be ("-": standard input)
};

// Checks the output can be made before any rendering starts; throws AppError if not.
std::unique_ptr<FrameSink> OpenFrameSink(const std::string& output, const SinkOptions& options);

// Hands frames to another sink on a worker thread, so that encoding overlaps with rendering.
// Frames keep their order; errors surface on the next call. Waits for room give up with
// Interrupted when `cancel` is set, so a stalled sink never makes the program deaf to Ctrl-C.
std::unique_ptr<FrameSink> MakeAsyncSink(std::unique_ptr<FrameSink> inner,
                                         const std::atomic<bool>* cancel = nullptr);

}  // namespace vevirur
