#include "pictures_out/video_frame_sink.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app_error.h"
#include "pictures_out/yuv_convert.h"

extern char** environ;

namespace vevirur {
namespace {

std::string TemporaryPath(const std::string& suffix) {
  std::error_code error;
  std::filesystem::path dir = std::filesystem::temp_directory_path(error);
  if (error) dir = "/tmp";
  std::string pattern = (dir / ("vevirur-XXXXXX" + suffix)).string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  int fd = mkstemps(buffer.data(), int(suffix.size()));
  if (fd < 0) throw AppError("cannot make a temporary file in " + dir.string());
  close(fd);
  return buffer.data();
}

}  // namespace

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return "";
  std::string all = path;
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string dir = all.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + program;
    struct stat info {};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return "";
}

VideoFrameSink::VideoFrameSink(const std::string& output, int width, int height,
                               const AudioClip& audio)
    : output_(output), partial_(output + ".part"), width_(width), height_(height) {
  std::string ffmpeg = FindOnPath("ffmpeg");
  if (ffmpeg.empty())
    throw AppError("ffmpeg was not found on the PATH; install it (apt-get install ffmpeg)");

  int probe = open(partial_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (probe < 0) throw AppError(output_ + ": cannot write (" + std::strerror(errno) + ")");
  close(probe);

  try {
    audio_path_ = TemporaryPath(".wav");
    log_path_ = TemporaryPath(".log");
    WriteWavFile(audio_path_, audio);
  } catch (...) {
    RemoveTemporaries();
    throw;
  }

  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const std::string rate = std::to_string(kOutputFramesPerSecond);
  // clang-format off
  std::vector<std::string> args = {
      "ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
      "-f", "rawvideo", "-pix_fmt", "yuv420p", "-s", size, "-r", rate, "-i", "pipe:0",
      "-i", audio_path_,
      "-map", "0:v", "-map", "1:a",
      // ultrafast keeps the encoder near the renderer's pace; crf 23 is its default quality.
      "-c:v", "libx264", "-preset", "ultrafast", "-crf", "23", "-pix_fmt", "yuv420p",
      "-colorspace", "smpte170m", "-color_primaries", "smpte170m", "-color_trc", "smpte170m",
      "-color_range", "tv",
      "-c:a", "aac", "-b:a", "192k", "-shortest",
      "-movflags", "+faststart", "-f", "mp4", partial_};
  // clang-format on
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    RemoveTemporaries();
    throw AppError(std::string("cannot make a pipe to ffmpeg (") + std::strerror(errno) + ")");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, log_path_.c_str(), O_WRONLY | O_TRUNC, 0);
  int spawned = posix_spawn(&child_, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (spawned != 0) {
    close(fds[1]);
    child_ = -1;
    RemoveTemporaries();
    throw AppError("cannot start ffmpeg (" + std::string(std::strerror(spawned)) + ")");
  }
  pipe_fd_ = fds[1];
  // A 1080p frame is 3 MB; the default 64 KB pipe would cost dozens of wake-ups per frame on
  // both sides. Best effort: the system's limit may be lower.
  fcntl(pipe_fd_, F_SETPIPE_SZ, 1 << 20);
}

VideoFrameSink::~VideoFrameSink() {
  if (child_ > 0 || pipe_fd_ >= 0) Abort();
}

std::string VideoFrameSink::LastLogLine() const {
  std::ifstream log(log_path_);
  std::string line, last;
  while (std::getline(log, line))
    if (!line.empty()) last = line;
  return last.empty() ? "no message" : last;
}

void VideoFrameSink::Fail(const std::string& what) {
  std::string reason = what + " (" + LastLogLine() + ")";
  Abort();
  throw AppError(reason);
}

void VideoFrameSink::Write(const Picture& picture) {
  ConvertToYuv420(picture, yuv_);
  WriteYuv(yuv_);
}

void VideoFrameSink::WriteYuv(const std::vector<uint8_t>& yuv) {
  if (pipe_fd_ < 0) throw AppError("ffmpeg is not running");
  const uint8_t* data = yuv.data();
  size_t left = yuv.size();
  while (left > 0) {
    ssize_t done = write(pipe_fd_, data, left);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) Fail("ffmpeg stopped taking frames");
    data += done;
    left -= size_t(done);
  }
}

void VideoFrameSink::Finish() {
  if (pipe_fd_ >= 0) close(pipe_fd_);
  pipe_fd_ = -1;
  int status = 0;
  pid_t waited;
  do waited = waitpid(child_, &status, 0);
  while (waited < 0 && errno == EINTR);
  child_ = -1;
  if (waited < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    Fail("ffmpeg could not make " + output_);
  if (std::rename(partial_.c_str(), output_.c_str()) != 0)
    Fail(output_ + ": cannot rename the finished video into place");
  RemoveTemporaries();
}

void VideoFrameSink::Abort() noexcept {
  if (pipe_fd_ >= 0) close(pipe_fd_);
  pipe_fd_ = -1;
  if (child_ > 0) {
    kill(child_, SIGTERM);
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
  }
  std::remove(partial_.c_str());
  RemoveTemporaries();
}

void VideoFrameSink::RemoveTemporaries() noexcept {
  if (!audio_path_.empty()) std::remove(audio_path_.c_str());
  if (!log_path_.empty()) std::remove(log_path_.c_str());
  audio_path_.clear();
  log_path_.clear();
}

}  // namespace vevirur
