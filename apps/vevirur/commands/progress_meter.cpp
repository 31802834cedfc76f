#include "commands/progress_meter.h"

#include <string>

namespace vevirur {

ProgressMeter::ProgressMeter(double audio_seconds, bool terminal)
    : audio_seconds_(audio_seconds),
      terminal_(terminal),
      start_(std::chrono::steady_clock::now()) {}

double ProgressMeter::Speed(double audio_seconds_done) const {
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return wall > 0 ? audio_seconds_done / wall : 0;
}

void ProgressMeter::Update(int done, int total) {
  if (!terminal_ || total <= 0) return;
  auto now = std::chrono::steady_clock::now();
  // Redrawing costs a write to the terminal; ten times a second is smooth enough.
  if (drawn_ && done < total && now - last_draw_ < std::chrono::milliseconds(100)) return;
  last_draw_ = now;
  drawn_ = true;
  constexpr int kBarWidth = 30;
  int filled = int(int64_t(done) * kBarWidth / total);
  std::string bar(size_t(filled), '#');
  bar.append(size_t(kBarWidth - filled), '.');
  std::fprintf(stderr, "\r[%s] %3d%%  frame %d/%d  %.1fx", bar.c_str(),
               int(int64_t(done) * 100 / total), done, total, Speed(audio_seconds_ * done / total));
  std::fflush(stderr);
}

void ProgressMeter::Finish(double audio_seconds_done) {
  if (drawn_) std::fputc('\n', stderr);
  std::printf("speed: %.1fx real time\n", Speed(audio_seconds_done));
  std::fflush(stdout);
}

}  // namespace vevirur
