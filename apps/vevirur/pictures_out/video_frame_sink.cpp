#include "pictures_out/video_frame_sink.h"

#include "app_error.h"
#include "pictures_out/yuv_convert.h"

namespace vevirur {

VideoFrameSink::VideoFrameSink(const std::string& output, const SinkOptions& options) {
  file_ = std::make_unique<OutputFile>(output, options.input);
  CheckVideoName(output);
  encoder_ =
      std::make_unique<VideoEncoder>(output, file_->temporary_path(), options.width, options.height,
                                     Quality(options.quality), options.audio_rate);
}

VideoFrameSink::~VideoFrameSink() {
  Abort();
}

void VideoFrameSink::Write(const Picture& picture) {
  auto yuv = std::make_shared<std::vector<uint8_t>>();
  ConvertToYuv420(picture, *yuv);
  WriteYuv(yuv);
}

void VideoFrameSink::WriteYuv(const YuvFrame& yuv) {
  if (!encoder_) throw AppError("the video is closed");
  encoder_->WriteFrame(yuv);
}

void VideoFrameSink::WriteAudio(const float* left, const float* right, size_t frames) {
  if (!encoder_) throw AppError("the video is closed");
  encoder_->WriteAudio(left, right, frames);
}

void VideoFrameSink::Finish() {
  if (!encoder_) throw AppError("the video is closed");
  try {
    encoder_->Finish();
    encoder_.reset();
    file_->Commit();
  } catch (...) {
    Abort();
    throw;
  }
}

void VideoFrameSink::Abort() noexcept {
  encoder_.reset();
  if (file_) file_->Discard();
}

}  // namespace vevirur
