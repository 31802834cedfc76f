#pragma once
// Where rendered pictures go: a video file through ffmpeg, or a folder of PNG frames.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio_in/audio_clip.h"
#include "pictures_out/picture.h"

namespace vevirur {

// Frames per second of the output. The engine paces itself to about 30 new pictures a second
// while the player's calls come every 25 ms, so each output frame shows what the window showed
// at that moment: frame j is the picture presented by the last call at or before j / 30 s.
constexpr int kOutputFramesPerSecond = 30;

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // Throws AppError when the frame cannot be written.
  virtual void Write(const Picture& picture) = 0;
  // Video sinks take frames already in 4:2:0 planes (as ConvertToYuv420 makes them), so the
  // renderer can skip the RGB picture. WriteYuv is only called when TakesYuv() says so.
  virtual bool TakesYuv() const { return false; }
  virtual void WriteYuv(const std::vector<uint8_t>& yuv) { (void)yuv; }
  // Completes the output; throws AppError (and leaves nothing behind) on failure.
  virtual void Finish() = 0;
  // Removes whatever was written; never throws.
  virtual void Abort() noexcept = 0;
};

// Checks the output can be made before any rendering starts; throws AppError if not.
// `audio` is muxed into a video; PNG frames ignore it.
std::unique_ptr<FrameSink> OpenFrameSink(const std::string& output, int width, int height,
                                         const AudioClip& audio);

// Hands frames to another sink on a worker thread, so that converting, compressing and piping
// overlap with rendering. Frames keep their order; errors surface on the next call.
std::unique_ptr<FrameSink> MakeAsyncSink(std::unique_ptr<FrameSink> inner);

}  // namespace vevirur
