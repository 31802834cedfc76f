#pragma once
// A video file: frames and sound encoded in process (VideoEncoder) into a temporary file beside
// the output, renamed into place only when the video is complete (OutputFile), so that a broken
// or interrupted render never looks complete and never touches an existing file.
#include <memory>
#include <string>

#include "pictures_out/frame_sink.h"
#include "pictures_out/output_file.h"
#include "pictures_out/video_encoder.h"

namespace vevirur {

class VideoFrameSink : public FrameSink {
 public:
  VideoFrameSink(const std::string& output, const SinkOptions& options);
  ~VideoFrameSink() override;
  void Write(const Picture& picture) override;
  bool TakesYuv() const override { return true; }
  void WriteYuv(const YuvFrame& yuv) override;
  void WriteAudio(const float* left, const float* right, size_t frames) override;
  void Finish() override;
  void Abort() noexcept override;

 private:
  std::unique_ptr<OutputFile> file_;
  std::unique_ptr<VideoEncoder> encoder_;
};

}  // namespace vevirur
