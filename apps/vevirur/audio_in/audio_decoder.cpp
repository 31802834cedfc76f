#include "audio_in/audio_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "app_error.h"
#include "ffmpeg_log.h"

namespace vevirur {
namespace {

// Under this probe score FFmpeg only guessed (from the name, or from a stray frame sync in any
// file): a program renamed .mp3 scores 1, real sound files 50 and more.
constexpr int kMinProbeScore = AVPROBE_SCORE_EXTENSION / 2;

// The file itself first, so that a missing or unreadable file is named as such rather than as
// "not a sound file".
void CheckReadableFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) throw AppError(path + ": no such file");
    throw AppError(path + ": " + std::strerror(errno));
  }
  if (S_ISDIR(info.st_mode)) throw AppError(path + ": is a folder, not an audio file");
  if (access(path.c_str(), R_OK) != 0) throw AppError(path + ": permission denied");
}

int CheckCancel(void* cancel) {
  return cancel && static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

// Floating-point input can hold NaN or infinity; both are silence.
void Sanitize(AVFrame* frame) {
  const auto format = AVSampleFormat(frame->format);
  const bool planar = av_sample_fmt_is_planar(format);
  const int planes = planar ? frame->ch_layout.nb_channels : 1;
  const size_t count =
      size_t(frame->nb_samples) * size_t(planar ? 1 : frame->ch_layout.nb_channels);
  for (int p = 0; p < planes; ++p) {
    if (format == AV_SAMPLE_FMT_FLT || format == AV_SAMPLE_FMT_FLTP) {
      float* s = reinterpret_cast<float*>(frame->extended_data[p]);
      for (size_t i = 0; i < count; ++i)
        if (!std::isfinite(s[i])) s[i] = 0;
    } else if (format == AV_SAMPLE_FMT_DBL || format == AV_SAMPLE_FMT_DBLP) {
      double* s = reinterpret_cast<double*>(frame->extended_data[p]);
      for (size_t i = 0; i < count; ++i)
        if (!std::isfinite(s[i])) s[i] = 0;
    }
  }
}

}  // namespace

struct AudioDecoder::State {
  std::string name;
  const std::atomic<bool>* cancel = nullptr;
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  int stream = -1;
  bool mono = false;  // resampled to one channel, then duplicated
  // The resampler's input as last set up; a stream may change it midway.
  AVChannelLayout in_layout{};
  int in_rate = 0, in_format = -1;
  bool draining = false, ended = false;
  std::vector<float> pending_left, pending_right;  // decoded, not yet read
  size_t pending_at = 0;
  int64_t delivered = 0;

  ~State() {
    swr_free(&resampler);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    av_packet_free(&packet);
    av_frame_free(&frame);
    av_channel_layout_uninit(&in_layout);
  }

  [[noreturn]] void Fail(const std::string& what, int code) {
    if (cancel && cancel->load()) throw Interrupted();
    throw AppError(name + ": " + what + ": " + FfmpegError(code));
  }

  void SetUpResampler(const AVFrame* f) {
    AVChannelLayout layout{};
    if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f->ch_layout.nb_channels <= 0)
      av_channel_layout_default(&layout,
                                f->ch_layout.nb_channels > 0 ? f->ch_layout.nb_channels : 2);
    else
      av_channel_layout_copy(&layout, &f->ch_layout);
    swr_free(&resampler);
    mono = layout.nb_channels == 1;
    AVChannelLayout out{};
    av_channel_layout_default(&out, mono ? 1 : 2);
    int error = swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_FLTP, kAnalysisRate, &layout,
                                    AVSampleFormat(f->format), f->sample_rate, 0, nullptr);
    if (error >= 0) error = swr_init(resampler);
    av_channel_layout_uninit(&in_layout);
    in_layout = layout;
    in_rate = f->sample_rate;
    in_format = f->format;
    if (error < 0) Fail("cannot convert its sound", error);
  }

  // Resamples `f` (null: what the resampler still holds) onto the pending samples.
  void Convert(const AVFrame* f) {
    if (f && (!resampler || f->sample_rate != in_rate || f->format != in_format ||
              av_channel_layout_compare(&f->ch_layout, &in_layout) != 0)) {
      if (resampler) Convert(nullptr);  // what is left of the old shape first
      SetUpResampler(f);
    }
    if (!resampler) return;
    const int in_count = f ? f->nb_samples : 0;
    const int room = swr_get_out_samples(resampler, in_count) + 16;
    const size_t at = pending_left.size();
    pending_left.resize(at + size_t(room));
    pending_right.resize(at + size_t(room));
    uint8_t* out[2] = {reinterpret_cast<uint8_t*>(pending_left.data() + at),
                       reinterpret_cast<uint8_t*>(pending_right.data() + at)};
    int got = swr_convert(resampler, out, room,
                          f ? const_cast<const uint8_t**>(f->extended_data) : nullptr, in_count);
    if (got < 0) Fail("cannot convert its sound", got);
    pending_left.resize(at + size_t(got));
    pending_right.resize(at + size_t(got));
    if (mono)
      std::copy(pending_left.begin() + long(at), pending_left.end(),
                pending_right.begin() + long(at));
    for (size_t i = at; i < pending_left.size(); ++i) {
      if (!std::isfinite(pending_left[i])) pending_left[i] = 0;
      if (!std::isfinite(pending_right[i])) pending_right[i] = 0;
    }
  }

  // Decodes until some samples are pending or the stream has ended.
  void DecodeMore() {
    while (pending_left.size() == pending_at && !ended) {
      int got = avcodec_receive_frame(codec, frame);
      if (got == 0) {
        Sanitize(frame);
        Convert(frame);
        av_frame_unref(frame);
        continue;
      }
      if (got == AVERROR_EOF) {
        Convert(nullptr);
        ended = true;
        break;
      }
      if (got == AVERROR_INVALIDDATA) continue;  // a damaged frame: skipped, as players do
      if (got != AVERROR(EAGAIN)) Fail("cannot decode", got);
      if (draining) {
        ended = true;
        break;
      }
      int read = av_read_frame(format, packet);
      if (read == AVERROR_EOF || (read < 0 && avio_feof(format->pb) && !(cancel && *cancel))) {
        avcodec_send_packet(codec, nullptr);
        draining = true;
        continue;
      }
      if (read < 0) Fail("cannot read", read);
      if (packet->stream_index == stream) {
        int sent = avcodec_send_packet(codec, packet);
        // A damaged packet is skipped, as players do; the rest of the file still plays.
        if (sent < 0 && sent != AVERROR_INVALIDDATA && sent != AVERROR(EAGAIN))
          Fail("cannot decode", sent);
      }
      av_packet_unref(packet);
    }
  }
};

AudioDecoder::AudioDecoder(const std::string& path, const std::atomic<bool>* cancel)
    : state_(std::make_unique<State>()) {
  CaptureFfmpegLog();
  TakeFfmpegMessage();
  State& s = *state_;
  s.cancel = cancel;
  const bool standard_input = path == "-";
  s.name = standard_input ? "standard input" : path;
  if (!standard_input) CheckReadableFile(path);

  s.format = avformat_alloc_context();
  s.packet = av_packet_alloc();
  s.frame = av_frame_alloc();
  if (!s.format || !s.packet || !s.frame) throw AppError("out of memory");
  s.format->interrupt_callback.callback = CheckCancel;
  s.format->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(cancel);
  // "file:" keeps a name with a colon a file name, never a protocol.
  const std::string url = standard_input ? "pipe:0" : "file:" + path;
  int error = avformat_open_input(&s.format, url.c_str(), nullptr, nullptr);
  if (error < 0) {
    s.format = nullptr;  // freed by avformat_open_input
    if (cancel && cancel->load()) throw Interrupted();
    if (error == AVERROR_INVALIDDATA) throw AppError(s.name + ": not a sound file FFmpeg can read");
    s.Fail("cannot open", error);
  }
  if (s.format->probe_score < kMinProbeScore)
    throw AppError(s.name + ": not a sound file FFmpeg can read");
  error = avformat_find_stream_info(s.format, nullptr);
  if (error < 0) s.Fail("cannot read", error);
  const AVCodec* decoder = nullptr;
  s.stream = av_find_best_stream(s.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (s.stream < 0 || !decoder)
    throw AppError(s.name + (s.stream == AVERROR_DECODER_NOT_FOUND
                                 ? ": its sound is in a format FFmpeg cannot decode"
                                 : ": holds no sound (not an audio file)"));
  for (unsigned i = 0; i < s.format->nb_streams; ++i)
    if (int(i) != s.stream) s.format->streams[i]->discard = AVDISCARD_ALL;
  s.codec = avcodec_alloc_context3(decoder);
  if (!s.codec) throw AppError("out of memory");
  error = avcodec_parameters_to_context(s.codec, s.format->streams[s.stream]->codecpar);
  if (error >= 0) error = avcodec_open2(s.codec, decoder, nullptr);
  if (error < 0) s.Fail("cannot decode", error);
}

AudioDecoder::~AudioDecoder() = default;

double AudioDecoder::ExpectedSeconds() const {
  const AVFormatContext* f = state_->format;
  const AVStream* stream = f->streams[state_->stream];
  if (stream->duration > 0) return double(stream->duration) * av_q2d(stream->time_base);
  if (f->duration > 0) return double(f->duration) / AV_TIME_BASE;
  return 0;
}

size_t AudioDecoder::Read(std::vector<float>& left, std::vector<float>& right, size_t max_frames) {
  State& s = *state_;
  size_t done = 0;
  while (done < max_frames) {
    if (s.pending_at == s.pending_left.size()) {
      s.pending_left.clear();
      s.pending_right.clear();
      s.pending_at = 0;
      s.DecodeMore();
      if (s.pending_left.empty()) break;
    }
    size_t n = std::min(max_frames - done, s.pending_left.size() - s.pending_at);
    auto from = long(s.pending_at);
    left.insert(left.end(), s.pending_left.begin() + from, s.pending_left.begin() + from + long(n));
    right.insert(right.end(), s.pending_right.begin() + from,
                 s.pending_right.begin() + from + long(n));
    s.pending_at += n;
    done += n;
  }
  s.delivered += int64_t(done);
  if (done == 0 && s.delivered == 0 && max_frames > 0)
    throw AppError(s.name + ": holds no sound (the file is empty)");
  return done;
}

}  // namespace vevirur
