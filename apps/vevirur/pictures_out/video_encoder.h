#pragma once
// A video file made in process with FFmpeg's libraries: 4:2:0 frames at 30 a second and stereo
// sound in, encoded and muxed into the container the file name's extension asks for — H.264 and
// AAC in MP4 (also without an extension), MOV and MKV; VP9 and Opus in WebM.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pictures_out/frame_sink.h"

namespace vevirur {

// Named encoder settings, from quick previews to archive copies (see UsageText).
enum class Quality { kDraft, kStandard, kHigh, kBest };

// "draft", "standard", "high", "best"; false for anything else.
bool ParseQuality(const std::string& name, Quality& quality);

class VideoEncoder {
 public:
  // `name` picks the container by its extension; the bytes go to `path` (a temporary file, or
  // the name itself). `audio_rate` 0: no sound track. Throws AppError with FFmpeg's reason when
  // the container is unknown or cannot hold the codecs, or an encoder cannot start.
  VideoEncoder(const std::string& name, const std::string& path, int width, int height,
               Quality quality, int audio_rate);
  ~VideoEncoder();
  void WriteFrame(const YuvFrame& frame);
  // Stereo samples at `audio_rate`; ignored without a sound track.
  void WriteAudio(const float* left, const float* right, size_t frames);
  // Drains the encoders and completes the file; throws AppError on failure.
  void Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Throws AppError unless `name`'s extension is a video container this program can write.
void CheckVideoName(const std::string& name);

}  // namespace vevirur
