#pragma once
// An MP4 video made by the ffmpeg program: raw 4:2:0 frames go down a pipe, H.264 (x264,
// ultrafast) comes out with the audio muxed in as AAC. The file is written under a ".part" name
// and renamed only when ffmpeg has finished well, so a broken render never looks complete.
#include <sys/types.h>

#include <string>
#include <vector>

#include "pictures_out/frame_sink.h"

namespace vevirur {

// Absolute path of `program` on the PATH, or "" when it is not there.
std::string FindOnPath(const std::string& program);

class VideoFrameSink : public FrameSink {
 public:
  VideoFrameSink(const std::string& output, int width, int height, const AudioClip& audio);
  ~VideoFrameSink() override;
  void Write(const Picture& picture) override;
  bool TakesYuv() const override { return true; }
  void WriteYuv(const std::vector<uint8_t>& yuv) override;
  void Finish() override;
  void Abort() noexcept override;

 private:
  [[noreturn]] void Fail(const std::string& what);
  std::string LastLogLine() const;
  void RemoveTemporaries() noexcept;

  std::string output_;
  std::string partial_;
  std::string audio_path_;
  std::string log_path_;
  int width_, height_;
  int pipe_fd_ = -1;
  pid_t child_ = -1;
  std::vector<uint8_t> yuv_;
};

}  // namespace vevirur
