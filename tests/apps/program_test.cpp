// The vevirur program as a user runs it: one-line errors for bad input, reproducible renders,
// the live window under a virtual X server.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "run_program.h"

namespace {

namespace fs = std::filesystem;

std::string Ffmpeg(const std::string& args) {
  return "ffmpeg -nostdin -hide_banner -v error -y " + args;
}

// A tone with a click every half second (so the picture moves), in any shape FFmpeg writes.
void MakeSound(const std::string& path, const std::string& shape, double seconds = 1) {
  const std::string tone =
      "-f lavfi -i \"aevalsrc=0.4*sin(2*PI*220*t)+0.5*lt(mod(t\\,0.5)\\,0.01):d=" +
      std::to_string(seconds) + "\" ";
  ASSERT_TRUE(Shell(Ffmpeg(tone + shape + " '" + path + "'"))) << path;
}

// A 32-bit float WAV whose samples are all `value` (NaN, infinity, 0).
void MakeFloatWav(const std::string& path, float value, int frames) {
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  const uint32_t bytes = uint32_t(frames) * 8;
  out.write("RIFF", 4), u32(36 + bytes), out.write("WAVEfmt ", 8), u32(16);
  u16(3), u16(2), u32(44100), u32(44100 * 8), u16(8), u16(32);  // IEEE float, stereo
  out.write("data", 4), u32(bytes);
  for (int i = 0; i < 2 * frames; ++i) out.write(reinterpret_cast<const char*>(&value), 4);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::map<std::string, size_t> FrameHashes(const std::string& folder) {
  std::map<std::string, size_t> hashes;
  for (const auto& entry : fs::directory_iterator(folder))
    hashes[entry.path().filename().string()] = std::hash<std::string>{}(ReadFile(entry.path()));
  return hashes;
}

// Names in `folder` other than `keep`: temporary files a render left behind.
std::vector<std::string> Leftovers(const std::string& folder, const std::set<std::string>& keep) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (!keep.count(entry.path().filename().string()))
      names.push_back(entry.path().filename().string());
  return names;
}

// An MP4 file starts with its "ftyp" box.
bool IsMp4(const std::string& path) {
  return ReadFile(path).substr(4, 4) == "ftyp";
}

void ExpectOneLineError(const ProgramRun& run, const std::string& needle) {
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err.rfind("vevirur: ", 0), 0u) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find(needle), std::string::npos) << run.err;
}

TEST(Program, AcceptsAnySoundFFmpegReads) {
  ScratchFolder dir;
  const std::string d = dir.path();
  struct Case {
    std::string file, shape;
  };
  const Case cases[] = {
      {"mono8.wav", "-ac 1 -ar 96000 -c:a pcm_u8"},
      {"six.wav", "-ac 6 -ar 22050 -c:a pcm_s24le"},
      {"sound.opus", "-ac 2 -c:a libopus"},
      {"sound.m4a", "-ac 2 -c:a aac"},
      {"clip.mkv", "-f lavfi -i testsrc=d=1:s=64x64 -c:v libx264 -c:a aac -shortest"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    MakeSound(d + c.file, c.shape);
    const std::string frames = d + c.file + "-frames/";
    ProgramRun run = RunVevirur({"render", d + c.file, "-o", frames, "--size", "64x64"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    // One second of sound, 30 frames; a lossy encoder's padding may add up to 2048 samples.
    const size_t count = FrameHashes(frames).size();
    EXPECT_TRUE(count >= 30 && count <= 32) << count;
  }
  // FLAC of unknown length through a pipe, into a video with sound.
  ASSERT_TRUE(Shell(Ffmpeg("-f lavfi -i sine=d=1 -ac 2 -f flac - | " VEVIRUR_EXE " render - -o '" +
                           d + "piped.mp4' --size 64x64 >/dev/null")));
  EXPECT_TRUE(IsMp4(d + "piped.mp4"));
}

TEST(Program, NanAndInfiniteSamplesAreSilence) {
  ScratchFolder dir;
  const std::string d = dir.path();
  const std::pair<const char*, float> cases[] = {
      {"nan", std::nanf("")}, {"inf", INFINITY}, {"zero", 0.0f}};
  std::map<std::string, std::map<std::string, size_t>> frames;
  for (auto [name, value] : cases) {
    MakeFloatWav(d + name + ".wav", value, 44100 / 2);
    ProgramRun run =
        RunVevirur({"render", d + name + ".wav", "-o", d + name + "/", "--size", "64x64"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    frames[name] = FrameHashes(d + name + "/");
  }
  EXPECT_EQ(frames["nan"].size(), 15u);
  EXPECT_EQ(frames["nan"], frames["zero"]);
  EXPECT_EQ(frames["inf"], frames["zero"]);
}

TEST(Program, RefusesWhatIsNotSound) {
  ScratchFolder dir;
  const std::string d = dir.path();
  std::ofstream(d + "notes.txt") << "not sound at all\n";
  std::ofstream(d + "program.mp3") << ReadFile(VEVIRUR_EXE).substr(0, 200000);
  std::ofstream(d + "empty.wav").close();
  ASSERT_TRUE(
      Shell(Ffmpeg("-f lavfi -i testsrc=d=0.1:s=64x64 -frames:v 1 '" + d + "picture.png'")));
  MakeSound(d + "silent.wav", "-t 0");
  fs::create_directory(d + "folder.wav");
  struct Case {
    std::string file, needle;
  };
  const Case cases[] = {
      {"missing.wav", "missing.wav: no such file"},
      {"folder.wav", "folder.wav: is a folder, not an audio file"},
      {"notes.txt", "notes.txt: not a sound file FFmpeg can read"},
      {"program.mp3", "program.mp3: not a sound file FFmpeg can read"},
      {"empty.wav", "empty.wav: not a sound file FFmpeg can read"},
      {"picture.png", "picture.png: holds no sound"},
      {"silent.wav", "silent.wav: holds no sound"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ExpectOneLineError(RunVevirur({"render", d + c.file, "-o", d + "out.mp4"}), c.needle);
    EXPECT_FALSE(fs::exists(d + "out.mp4"));
  }
  EXPECT_EQ(Leftovers(d, {"notes.txt", "program.mp3", "empty.wav", "picture.png", "silent.wav",
                          "folder.wav"}),
            std::vector<std::string>{});
}

TEST(Program, TheOutputNeverHarmsAFile) {
  ScratchFolder dir;
  const std::string d = dir.path();
  MakeSound(d + "in.wav", "-ac 2", 0.5);
  const std::string original = ReadFile(d + "in.wav");
  fs::create_symlink(d + "in.wav", d + "link.mp4");
  fs::create_hard_link(d + "in.wav", d + "hard.mp4");
  ASSERT_EQ(mkfifo((d + "fifo.mp4").c_str(), 0644), 0);
  fs::create_directory(d + "folder.mp4");
  struct Case {
    std::string output, needle;
  };
  const Case cases[] = {
      {d + "in.wav", "is the input file"},
      {d + "link.mp4", "is the input file"},
      {d + "hard.mp4", "is the input file"},
      {d + "fifo.mp4", "not a regular file"},
      {"/dev/null", "not a regular file"},
      {d + "folder.mp4", "is a folder"},
      {d + "out.xyz", "not a video type this program writes"},
      {d + "no/such/dir/out.mp4", "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    ExpectOneLineError(RunVevirur({"render", d + "in.wav", "-o", c.output, "--size", "64x64"}),
                       c.needle);
  }
  EXPECT_EQ(ReadFile(d + "in.wav"), original);
  EXPECT_TRUE(fs::is_fifo(d + "fifo.mp4"));
  // Names are names; a link to a new name writes its target and stays a link.
  fs::create_symlink("target.mp4", d + "new-link.mp4");
  ASSERT_TRUE(Shell("cd '" + d +
                    "' && " VEVIRUR_EXE
                    " render in.wav -o ./-x.mp4 --size 64x64 >/dev/null && " VEVIRUR_EXE
                    " render in.wav -o 'a: b.mov' --size 64x64 >/dev/null && " VEVIRUR_EXE
                    " render in.wav -o new-link.mp4 --size 64x64 >/dev/null"));
  EXPECT_TRUE(IsMp4(d + "-x.mp4"));
  EXPECT_GT(fs::file_size(d + "a: b.mov"), 1000u);
  EXPECT_TRUE(fs::is_symlink(d + "new-link.mp4"));
  EXPECT_TRUE(IsMp4(d + "target.mp4"));
  EXPECT_EQ(Leftovers(d, {"in.wav", "link.mp4", "hard.mp4", "fifo.mp4", "folder.mp4", "-x.mp4",
                          "a: b.mov", "new-link.mp4", "target.mp4"}),
            std::vector<std::string>{});
}

TEST(Program, TwoRendersToOneOutputBothFinish) {
  ScratchFolder dir;
  const std::string d = dir.path();
  MakeSound(d + "in.wav", "-ac 2", 2);
  pid_t a = StartVevirur({"render", d + "in.wav", "-o", d + "out.mp4", "--size", "128x72"},
                         d + "a.out", d + "a.err");
  pid_t b = StartVevirur({"render", d + "in.wav", "-o", d + "out.mp4", "--size", "128x72"},
                         d + "b.out", d + "b.err");
  EXPECT_EQ(WaitForExit(a, 120), 0) << ReadFile(d + "a.err");
  EXPECT_EQ(WaitForExit(b, 120), 0) << ReadFile(d + "b.err");
  EXPECT_TRUE(IsMp4(d + "out.mp4"));
  EXPECT_EQ(Leftovers(d, {"in.wav", "out.mp4", "a.out", "a.err", "b.out", "b.err"}),
            std::vector<std::string>{});
}

// Waits until a render has made its temporary file beside `target` (it is encoding then).
bool WaitForTemporary(const std::string& folder, const std::string& target) {
  for (int i = 0; i < 1000; ++i) {
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().filename().string().rfind("." + target + ".vevirur-", 0) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

TEST(Program, AnInterruptedRenderLeavesNothingAndSaysSo) {
  ScratchFolder dir;
  const std::string d = dir.path();
  MakeSound(d + "in.wav", "-ac 2", 60);
  struct Case {
    int signal;
    bool whole_group;  // a terminal's Ctrl-C reaches every process of the group
    std::string output;
  };
  const Case cases[] = {
      {SIGINT, true, "out.mp4"}, {SIGTERM, false, "out.mp4"}, {SIGHUP, false, "frames/"}};
  std::ofstream(d + "out.mp4") << "an earlier video";
  fs::create_directory(d + "frames");
  std::ofstream(d + "frames/keep.png") << "not ours";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signal);
    pid_t pid = StartVevirur({"render", d + "in.wav", "-o", d + c.output, "--size", "320x180"},
                             d + "run.out", d + "run.err");
    if (c.output == "frames/") {
      for (int i = 0; i < 1000 && !fs::exists(d + "frames/frame_000010.png"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } else {
      ASSERT_TRUE(WaitForTemporary(d, c.output));
    }
    kill(c.whole_group ? -pid : pid, c.signal);
    EXPECT_EQ(WaitForExit(pid, 20), 128 + c.signal);
    EXPECT_EQ(ReadFile(d + "run.err"), "vevirur: interrupted; nothing was left behind\n");
  }
  EXPECT_EQ(ReadFile(d + "out.mp4"), "an earlier video");
  EXPECT_EQ(Leftovers(d, {"in.wav", "out.mp4", "frames", "run.out", "run.err"}),
            std::vector<std::string>{});
  EXPECT_EQ(Leftovers(d + "frames", {"keep.png"}), std::vector<std::string>{});
}

TEST(Program, AFifoWithoutWriterNeverMakesItDeafToCtrlC) {
  ScratchFolder dir;
  const std::string d = dir.path();
  ASSERT_EQ(mkfifo((d + "in.fifo").c_str(), 0644), 0);
  pid_t pid =
      StartVevirur({"render", d + "in.fifo", "-o", d + "out.mp4"}, d + "run.out", d + "run.err");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(pid, SIGINT);
  EXPECT_EQ(WaitForExit(pid, 10), 130);
  EXPECT_FALSE(fs::exists(d + "out.mp4"));
}

TEST(Program, AFrameFolderNeverMixesRenders) {
  ScratchFolder dir;
  const std::string d = dir.path();
  MakeSound(d + "in.wav", "-ac 2", 0.2);
  ASSERT_EQ(RunVevirur({"render", d + "in.wav", "-o", d + "f/", "--size", "64x64"}).exit_code, 0);
  ExpectOneLineError(RunVevirur({"render", d + "in.wav", "-o", d + "f/", "--size", "64x64"}),
                     "f/: holds frames of an earlier render (frame_0000");
  EXPECT_EQ(FrameHashes(d + "f/").size(), 6u);
}

TEST(Program, RendersTheSameFramesEveryTime) {
  ScratchFolder dir;
  const std::string d = dir.path();
  MakeSound(d + "two.wav", "-ac 2", 2);
  ProgramRun first = RunVevirur(
      {"render", d + "two.wav", "-o", d + "a/", "--size", "320x240", "--title", "Björk — Jóga"});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  EXPECT_NE(first.out.find("speed: "), std::string::npos);
  EXPECT_NE(first.out.find("x real time\n"), std::string::npos);
  ProgramRun second = RunVevirur(
      {"render", d + "two.wav", "-o", d + "b/", "--size", "320x240", "--title", "Björk — Jóga"});
  ASSERT_EQ(second.exit_code, 0) << second.err;
  auto a = FrameHashes(d + "a/"), b = FrameHashes(d + "b/");
  EXPECT_EQ(a.size(), 60u);  // 2 s at 30 frames a second
  EXPECT_EQ(a, b);
  EXPECT_TRUE(a.count("frame_000059.png"));
}

TEST(Program, VideoTypesAndQualities) {
  ScratchFolder dir;
  const std::string d = dir.path();
  MakeSound(d + "in.flac", "-ac 2 -ar 48000", 1);
  const std::pair<std::string, std::string> cases[] = {
      {"out.mp4", "standard"}, {"out.mkv", "draft"}, {"out.webm", "best"}, {"noext", "high"}};
  for (const auto& [name, quality] : cases) {
    SCOPED_TRACE(name);
    ProgramRun run = RunVevirur(
        {"render", d + "in.flac", "-o", d + name, "--size", "96x64", "--quality", quality});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    ASSERT_TRUE(Shell("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 '" + d + name +
                      "' > '" + d + name + ".codecs'"));
  }
  EXPECT_EQ(ReadFile(d + "out.mp4.codecs"), "h264\naac\n");
  EXPECT_EQ(ReadFile(d + "out.mkv.codecs"), "h264\naac\n");
  EXPECT_EQ(ReadFile(d + "out.webm.codecs"), "vp9\nopus\n");
  EXPECT_TRUE(IsMp4(d + "noext"));
}

// A private X server for the live window; skipped where there is none.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    std::string xvfb = fs::exists("/usr/bin/Xvfb") ? "/usr/bin/Xvfb" : "";
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

TEST(Program, LiveNamesTheRealCause) {
  ExpectOneLineError(RunVevirur({"live"}, {"PULSE_SERVER=unix:/nonexistent/socket", "DISPLAY="}),
                     "no sound server to capture from");
  ExpectOneLineError(RunVevirur({"live", "--source", "vevirur-demo"}, {"DISPLAY="}),
                     "cannot open a window: no display (DISPLAY is not set)");
}

TEST(Program, LiveWindowRunsFromTheDemoSource) {
  VirtualDisplay display;
  if (!display.ok()) GTEST_SKIP() << "no Xvfb";
  ProgramRun run = RunVevirur({"live", "--source", "vevirur-demo", "--seconds", "3"},
                              {"DISPLAY=" + display.name(), "SDL_VIDEODRIVER=x11"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

}  // namespace
