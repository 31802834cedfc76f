// The vevirur program as a user runs it: one-line errors for bad input, reproducible renders,
// the live window under a virtual X server.
#include <fcntl.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <thread>

#include "run_program.h"
#include "video_frame_sink.h"

namespace {

namespace fs = std::filesystem;

// A sine-and-clicks sound file of the given shape.
void WriteSound(const std::string& path, int channels, int rate, int format, double seconds) {
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = rate;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  int frames = int(seconds * rate);
  std::vector<float> data(size_t(frames) * size_t(channels));
  for (int n = 0; n < frames; ++n)
    for (int c = 0; c < channels; ++c)
      data[size_t(n * channels + c)] =
          float(0.4 * std::sin(2 * std::numbers::pi * 110 * (c + 1) * n / rate) +
                ((n % (rate / 2)) < 400 ? 0.5 : 0.0));
  sf_writef_float(file, data.data(), frames);
  sf_close(file);
}

void ExpectOneLineError(const ProgramRun& run, const std::string& needle) {
  EXPECT_NE(run.exit_code, 0);
  EXPECT_EQ(run.err.rfind("vevirur: ", 0), 0u) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find(needle), std::string::npos) << run.err;
}

TEST(Program, BadInputGivesOneLineErrors) {
  ScratchFolder dir;
  const std::string d = dir.path();
  const int wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  WriteSound(d + "mono.wav", 1, 44100, wav16, 0.5);
  WriteSound(d + "eight.wav", 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0.5);
  WriteSound(d + "fast.wav", 2, 96000, wav16, 0.5);
  WriteSound(d + "six.wav", 6, 44100, wav16, 0.5);
  WriteSound(d + "empty.wav", 2, 44100, wav16, 0);
  WriteSound(d + "good.wav", 2, 44100, wav16, 0.5);
  std::ofstream(d + "notes.txt") << "not sound at all\n";
  fs::create_directory(d + "folder.wav");

  struct Case {
    std::string file, needle;
  };
  const Case cases[] = {
      {"missing.wav", "missing.wav: no such file"},
      {"folder.wav", "folder.wav: is a folder, not an audio file"},
      {"notes.txt", "notes.txt: not an audio file libsndfile can read"},
      {"empty.wav", "empty.wav: the file holds no audio"},
      {"mono.wav", "mono.wav: mono audio is not supported"},
      {"eight.wav", "eight.wav: 8-bit audio is not supported"},
      {"fast.wav", "fast.wav: a sample rate of 96000 Hz is not supported"},
      {"six.wav", "six.wav: 6-channel audio is not supported"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ExpectOneLineError(RunVevirur({"render", d + c.file, "-o", d + "out.mp4"}), c.needle);
    EXPECT_FALSE(fs::exists(d + "out.mp4"));
    EXPECT_FALSE(fs::exists(d + "out.mp4.part"));
  }

  ExpectOneLineError(
      RunVevirur({"render", d + "good.wav", "-o", d + "out.mp4"}, {"PATH=/nonexistent"}),
      "ffmpeg was not found on the PATH");
  EXPECT_FALSE(fs::exists(d + "out.mp4.part"));
  ExpectOneLineError(RunVevirur({"render", d + "good.wav", "-o", d + "no/such/dir/out.mp4"}),
                     "cannot write (No such file or directory)");
  ExpectOneLineError(RunVevirur({"render", d + "good.wav", "-o", "/proc/vevirur/"}),
                     "cannot create the output folder");
  ExpectOneLineError(RunVevirur({"render", d + "good.wav", "-o", d + "x/", "--size", "7x7"}),
                     "--size 7x7");
  ExpectOneLineError(RunVevirur({"live"}, {"PULSE_SERVER=unix:/nonexistent/socket", "DISPLAY="}),
                     "cannot capture sound from @DEFAULT_MONITOR@");
}

std::map<std::string, size_t> FrameHashes(const std::string& folder) {
  std::map<std::string, size_t> hashes;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    hashes[entry.path().filename().string()] = std::hash<std::string>{}(bytes.str());
  }
  return hashes;
}

TEST(Program, RendersTheSameFramesEveryTime) {
  ScratchFolder dir;
  const std::string d = dir.path();
  WriteSound(d + "two.wav", 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2.0);
  ProgramRun first =
      RunVevirur({"render", d + "two.wav", "-o", d + "a/", "--size", "320x240", "--title", "Two"});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  EXPECT_NE(first.out.find("speed: "), std::string::npos);
  EXPECT_NE(first.out.find("x real time\n"), std::string::npos);
  ProgramRun second =
      RunVevirur({"render", d + "two.wav", "-o", d + "b/", "--size", "320x240", "--title", "Two"});
  ASSERT_EQ(second.exit_code, 0) << second.err;
  auto a = FrameHashes(d + "a/"), b = FrameHashes(d + "b/");
  EXPECT_EQ(a.size(), 60u);  // 2 s at 30 frames a second
  EXPECT_EQ(a, b);
  EXPECT_TRUE(a.count("frame_000059.png"));
}

TEST(Program, RendersAVideoWithSound) {
  if (vevirur::FindOnPath("ffmpeg").empty()) GTEST_SKIP() << "no ffmpeg";
  ScratchFolder dir;
  const std::string d = dir.path();
  WriteSound(d + "one.flac", 2, 48000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1.0);
  ProgramRun run = RunVevirur({"render", d + "one.flac", "-o", d + "one.mp4", "--size", "256x144"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(fs::file_size(d + "one.mp4") > 1000);
  EXPECT_FALSE(fs::exists(d + "one.mp4.part"));
}

// A private X server for the live window; skipped where there is none.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    std::string xvfb = vevirur::FindOnPath("Xvfb");
    if (xvfb.empty()) return;
    display_ = ":" + std::to_string(140 + getpid() % 50);
    std::vector<std::string> args = {"Xvfb",        display_,    "-screen", "0",
                                     "1024x768x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, xvfb.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    // Ready when its socket appears.
    std::string socket = "/tmp/.X11-unix/X" + display_.substr(1);
    for (int i = 0; i < 100 && pid_ > 0 && !fs::exists(socket); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!fs::exists(socket)) Stop();
  }
  ~VirtualDisplay() { Stop(); }
  bool ok() const { return pid_ > 0; }
  const std::string& name() const { return display_; }

 private:
  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }
  pid_t pid_ = -1;
  std::string display_;
};

TEST(Program, LiveWindowRunsFromTheDemoSource) {
  VirtualDisplay display;
  if (!display.ok()) GTEST_SKIP() << "no Xvfb";
  ProgramRun run = RunVevirur({"live", "--source", "vevirur-demo", "--seconds", "3"},
                              {"DISPLAY=" + display.name(), "SDL_VIDEODRIVER=x11"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

}  // namespace
