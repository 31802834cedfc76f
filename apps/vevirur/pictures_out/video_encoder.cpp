#include "pictures_out/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <cstring>

#include "app_error.h"
#include "ffmpeg_log.h"
#include "pictures_out/frame_sink.h"

namespace vevirur {
namespace {

struct Settings {
  const char* name;
  const char* x264_preset;
  const char* x264_crf;
  const char* vp9_deadline;
  const char* vp9_cpu_used;
  const char* vp9_crf;
};

// x264's ultrafast preset keeps the encoder at the engine's pace; the slower presets spend
// more time for smaller files at the same quality. CRF: lower is better and larger.
constexpr Settings kSettings[] = {
    {"draft", "ultrafast", "28", "realtime", "8", "40"},
    {"standard", "ultrafast", "23", "realtime", "8", "33"},
    {"high", "veryfast", "20", "good", "4", "31"},
    {"best", "slow", "17", "good", "1", "24"},
};

const AVOutputFormat* FormatFor(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return av_guess_format("mp4", nullptr, nullptr);
  return av_guess_format(nullptr, name.c_str(), nullptr);
}

bool IsWebm(const AVOutputFormat* format) {
  return std::strcmp(format->name, "webm") == 0;
}

const AVOutputFormat* CheckedFormat(const std::string& name) {
  const AVOutputFormat* format = FormatFor(name);
  const bool webm = format && IsWebm(format);
  if (!format || (format->flags & AVFMT_NOFILE) ||
      avformat_query_codec(format, webm ? AV_CODEC_ID_VP9 : AV_CODEC_ID_H264,
                           FF_COMPLIANCE_NORMAL) != 1 ||
      avformat_query_codec(format, webm ? AV_CODEC_ID_OPUS : AV_CODEC_ID_AAC,
                           FF_COMPLIANCE_NORMAL) != 1)
    throw AppError(name +
                   ": not a video type this program writes; use .mp4, .mkv, .mov or .webm, or "
                   "DIR/ for PNG frames");
  return format;
}

}  // namespace

bool ParseQuality(const std::string& name, Quality& quality) {
  for (size_t i = 0; i < std::size(kSettings); ++i)
    if (name == kSettings[i].name) {
      quality = Quality(i);
      return true;
    }
  return false;
}

void CheckVideoName(const std::string& name) {
  CheckedFormat(name);
}

struct VideoEncoder::State {
  std::string name;
  AVFormatContext* muxer = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  AVStream* video_stream = nullptr;
  AVStream* audio_stream = nullptr;
  SwrContext* resampler = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVFrame* frame = nullptr;
  AVFrame* sound = nullptr;
  AVPacket* packet = nullptr;
  int64_t frames = 0, samples = 0;
  bool header_written = false;

  ~State() {
    if (muxer && muxer->pb) avio_closep(&muxer->pb);
    avformat_free_context(muxer);
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    swr_free(&resampler);
    if (fifo) av_audio_fifo_free(fifo);
    av_frame_free(&frame);
    av_frame_free(&sound);
    av_packet_free(&packet);
  }

  [[noreturn]] void Fail(const std::string& what, int code) {
    throw AppError(name + ": " + what + ": " + FfmpegError(code));
  }

  AVCodecContext* OpenEncoder(const char* codec_name, AVStream*& stream,
                              void (*configure)(AVCodecContext*, void*), void* data,
                              AVDictionary** options) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codec_name);
    if (!codec) throw AppError(name + ": this FFmpeg has no " + codec_name + " encoder");
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) throw AppError("out of memory");
    configure(context, data);
    if (muxer->oformat->flags & AVFMT_GLOBALHEADER) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int error = avcodec_open2(context, codec, options);
    if (error < 0) {
      avcodec_free_context(&context);
      Fail(std::string("cannot start the ") + codec_name + " encoder", error);
    }
    stream = avformat_new_stream(muxer, nullptr);
    if (!stream) throw AppError("out of memory");
    stream->time_base = context->time_base;
    error = avcodec_parameters_from_context(stream->codecpar, context);
    if (error < 0) Fail("cannot set up the streams", error);
    return context;
  }

  // Sends `f` (null: drain) and muxes every packet that comes out.
  void Encode(AVCodecContext* codec, AVStream* stream, const AVFrame* f) {
    int error = avcodec_send_frame(codec, f);
    if (error < 0) Fail("the encoder failed", error);
    for (;;) {
      error = avcodec_receive_packet(codec, packet);
      if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return;
      if (error < 0) Fail("the encoder failed", error);
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      error = av_interleaved_write_frame(muxer, packet);
      if (error < 0) Fail("cannot write", error);
    }
  }

  // Converts stereo samples (null: what the resampler still holds) for the sound encoder and
  // encodes every whole frame; at the end also the last, short one.
  void Resample(const float* const* in, int count) {
    const int room = swr_get_out_samples(resampler, count) + 16;
    uint8_t** out = nullptr;
    int error = av_samples_alloc_array_and_samples(&out, nullptr, 2, room, audio->sample_fmt, 0);
    if (error < 0) Fail("out of memory", error);
    int got = swr_convert(resampler, out, room,
                          reinterpret_cast<const uint8_t**>(const_cast<const float**>(in)), count);
    if (got > 0) av_audio_fifo_write(fifo, reinterpret_cast<void**>(out), got);
    av_freep(&out[0]);
    av_freep(&out);
    if (got < 0) Fail("cannot convert the sound", got);
    EncodeAudio(in == nullptr);
  }

  void EncodeAudio(bool last) {
    const int size = audio->frame_size > 0 ? audio->frame_size : 1024;
    while (av_audio_fifo_size(fifo) >= size || (last && av_audio_fifo_size(fifo) > 0)) {
      const int n = std::min(size, av_audio_fifo_size(fifo));
      av_frame_unref(sound);
      sound->nb_samples =
          (n < size && !(audio->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME)) ? size : n;
      sound->format = audio->sample_fmt;
      sound->sample_rate = audio->sample_rate;
      av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout);
      int error = av_frame_get_buffer(sound, 0);
      if (error < 0) Fail("out of memory", error);
      av_samples_set_silence(sound->extended_data, 0, sound->nb_samples,
                             audio->ch_layout.nb_channels, audio->sample_fmt);
      av_audio_fifo_read(fifo, reinterpret_cast<void**>(sound->extended_data), n);
      sound->pts = samples;
      samples += sound->nb_samples;
      Encode(audio, audio_stream, sound);
    }
  }
};

namespace {

struct VideoSetup {
  int width, height;
  const Settings* settings;
  bool vp9;
};

void ConfigureVideo(AVCodecContext* c, void* data) {
  const auto* setup = static_cast<const VideoSetup*>(data);
  c->width = setup->width;
  c->height = setup->height;
  c->time_base = AVRational{1, kOutputFramesPerSecond};
  c->framerate = AVRational{kOutputFramesPerSecond, 1};
  c->pix_fmt = AV_PIX_FMT_YUV420P;
  // The frames are BT.601 limited range (ConvertToYuv420); say so, so players need not guess.
  c->color_range = AVCOL_RANGE_MPEG;
  c->colorspace = AVCOL_SPC_SMPTE170M;
  c->color_primaries = AVCOL_PRI_SMPTE170M;
  c->color_trc = AVCOL_TRC_SMPTE170M;
  if (setup->vp9) c->bit_rate = 0;  // constant quality
}

struct AudioSetup {
  int rate;
  bool opus;
};

void ConfigureAudio(AVCodecContext* c, void* data) {
  const auto* setup = static_cast<const AudioSetup*>(data);
  c->sample_fmt = c->codec->sample_fmts ? c->codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  // Opus runs at 48 kHz only; AAC keeps the sound's own rate.
  c->sample_rate = setup->opus ? 48000 : setup->rate;
  av_channel_layout_default(&c->ch_layout, 2);
  c->bit_rate = setup->opus ? 128000 : 192000;
  c->time_base = AVRational{1, c->sample_rate};
}

}  // namespace

VideoEncoder::VideoEncoder(const std::string& name, const std::string& path, int width, int height,
                           Quality quality, int audio_rate)
    : state_(std::make_unique<State>()) {
  CaptureFfmpegLog();
  TakeFfmpegMessage();
  State& s = *state_;
  s.name = name;
  const AVOutputFormat* format = CheckedFormat(name);
  const bool webm = IsWebm(format);
  // "file:" keeps any name a file name; the muxer reopens it by this URL for +faststart.
  const std::string url = "file:" + path;
  int error = avformat_alloc_output_context2(&s.muxer, format, nullptr, url.c_str());
  if (error < 0) s.Fail("cannot make the video", error);
  s.frame = av_frame_alloc();
  s.sound = av_frame_alloc();
  s.packet = av_packet_alloc();
  if (!s.frame || !s.sound || !s.packet) throw AppError("out of memory");

  const Settings& settings = kSettings[int(quality)];
  VideoSetup video{width, height, &settings, webm};
  AVDictionary* options = nullptr;
  if (webm) {
    av_dict_set(&options, "deadline", settings.vp9_deadline, 0);
    av_dict_set(&options, "cpu-used", settings.vp9_cpu_used, 0);
    av_dict_set(&options, "crf", settings.vp9_crf, 0);
    av_dict_set(&options, "row-mt", "1", 0);
  } else {
    av_dict_set(&options, "preset", settings.x264_preset, 0);
    av_dict_set(&options, "crf", settings.x264_crf, 0);
  }
  try {
    s.video = s.OpenEncoder(webm ? "libvpx-vp9" : "libx264", s.video_stream, ConfigureVideo, &video,
                            &options);
  } catch (...) {
    av_dict_free(&options);
    throw;
  }
  av_dict_free(&options);

  if (audio_rate > 0) {
    AudioSetup sound{audio_rate, webm};
    s.audio =
        s.OpenEncoder(webm ? "libopus" : "aac", s.audio_stream, ConfigureAudio, &sound, nullptr);
    AVChannelLayout stereo{};
    av_channel_layout_default(&stereo, 2);
    error = swr_alloc_set_opts2(&s.resampler, &s.audio->ch_layout, s.audio->sample_fmt,
                                s.audio->sample_rate, &stereo, AV_SAMPLE_FMT_FLTP, audio_rate, 0,
                                nullptr);
    if (error >= 0) error = swr_init(s.resampler);
    if (error < 0) s.Fail("cannot convert the sound", error);
    s.fifo = av_audio_fifo_alloc(s.audio->sample_fmt, 2, 4096);
    if (!s.fifo) throw AppError("out of memory");
  }

  error = avio_open(&s.muxer->pb, url.c_str(), AVIO_FLAG_WRITE);
  if (error < 0) s.Fail("cannot write", error);
  AVDictionary* mux_options = nullptr;
  // MP4 and MOV: the index at the front, so that the video starts before it has all arrived.
  if (!std::strcmp(format->name, "mp4") || !std::strcmp(format->name, "mov"))
    av_dict_set(&mux_options, "movflags", "+faststart", 0);
  error = avformat_write_header(s.muxer, &mux_options);
  av_dict_free(&mux_options);
  if (error < 0) s.Fail("cannot write", error);
  s.header_written = true;
}

VideoEncoder::~VideoEncoder() = default;

namespace {
void ReleaseFrame(void* opaque, uint8_t*) {
  delete static_cast<YuvFrame*>(opaque);
}
}  // namespace

void VideoEncoder::WriteFrame(const YuvFrame& yuv) {
  State& s = *state_;
  const int w = s.video->width, h = s.video->height;
  const size_t luma = size_t(w) * size_t(h);
  if (yuv->size() < luma + luma / 2) throw AppError(s.name + ": a frame of the wrong size");
  // The frame lends the shared planes to the encoder: no copy, released when it is done.
  AVFrame* f = s.frame;
  av_frame_unref(f);
  f->width = w;
  f->height = h;
  f->format = AV_PIX_FMT_YUV420P;
  auto* keep = new YuvFrame(yuv);
  f->buf[0] = av_buffer_create(const_cast<uint8_t*>(yuv->data()), int(yuv->size()), ReleaseFrame,
                               keep, AV_BUFFER_FLAG_READONLY);
  if (!f->buf[0]) {
    delete keep;
    throw AppError("out of memory");
  }
  uint8_t* base = const_cast<uint8_t*>(yuv->data());
  f->data[0] = base;
  f->data[1] = base + luma;
  f->data[2] = base + luma + luma / 4;
  f->linesize[0] = w;
  f->linesize[1] = f->linesize[2] = w / 2;
  f->pts = s.frames++;
  f->color_range = AVCOL_RANGE_MPEG;
  s.Encode(s.video, s.video_stream, f);
  av_frame_unref(f);
}

void VideoEncoder::WriteAudio(const float* left, const float* right, size_t frames) {
  if (!state_->audio || frames == 0) return;
  const float* in[2] = {left, right};
  state_->Resample(in, int(frames));
}

void VideoEncoder::Finish() {
  State& s = *state_;
  if (s.audio) {
    s.Resample(nullptr, 0);  // what the resampler holds, then the last short frame
    s.Encode(s.audio, s.audio_stream, nullptr);
  }
  s.Encode(s.video, s.video_stream, nullptr);
  int error = av_write_trailer(s.muxer);
  if (error < 0) s.Fail("cannot complete the video", error);
  error = avio_closep(&s.muxer->pb);
  if (error < 0) s.Fail("cannot write", error);
}

}  // namespace vevirur
