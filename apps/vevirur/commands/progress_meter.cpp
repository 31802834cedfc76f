#include "commands/progress_meter.h"

#include <string>

#include "pictures_out/frame_sink.h"

namespace vevirur {

ProgressMeter::ProgressMeter(bool terminal)
    : terminal_(terminal), start_(std::chrono::steady_clock::now()) {}

double ProgressMeter::Speed(double audio_seconds_done) const {
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return wall > 0 ? audio_seconds_done / wall : 0;
}

void ProgressMeter::Update(int done, int total) {
  if (!terminal_) return;
  auto now = std::chrono::steady_clock::now();
  // Redrawing costs a write to the terminal; ten times a second is smooth enough.
  if (drawn_ && done != total && now - last_draw_ < std::chrono::milliseconds(100)) return;
  last_draw_ = now;
  drawn_ = true;
  const double speed = Speed(double(done) / kOutputFramesPerSecond);
  if (total <= 0) {
    std::fprintf(stderr, "\rframe %d  %.1fx", done, speed);
  } else {
    constexpr int kBarWidth = 30;
    int filled = int(int64_t(done) * kBarWidth / total);
    std::string bar(size_t(filled), '#');
    bar.append(size_t(kBarWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%  frame %d/%d  %.1fx", bar.c_str(),
                 int(int64_t(done) * 100 / total), done, total, speed);
  }
  std::fflush(stderr);
}

void ProgressMeter::Abandon() {
  if (drawn_) std::fputc('\n', stderr);
  drawn_ = false;
}

void ProgressMeter::Finish(double audio_seconds_done) {
  Abandon();
  std::printf("speed: %.1fx real time\n", Speed(audio_seconds_done));
  std::fflush(stdout);
}

}  // namespace vevirur
