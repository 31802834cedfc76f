// The vevirur program as a user runs it, on inputs the tests make with FFmpeg and the shell:
// sound of every shape and what is not sound, outputs that must not be harmed, two renders at
// once, interrupted renders, and the live window's one-line refusals.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>
#include <utility>

#include "audio_in/audio_decoder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// Names the command lines below use: the program, FFmpeg, and an endless tone with a click every
// half second (so that the picture moves). X and FFmpeg keep some memory to the end.
const std::string kShellNames =
    "export ASAN_OPTIONS=detect_leaks=0; VV='" VEVIRUR_EXE
    "'; FF='ffmpeg -nostdin -hide_banner -v error -y'; "
    "TONE='-f lavfi -i aevalsrc=0.4*sin(2*PI*220*t)+0.5*lt(mod(t\\,0.5)\\,0.01)'; ";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// The bytes of every file in `folder`, in name order.
std::string Contents(const std::string& folder) {
  std::string all;
  for (const std::string& name : Names(folder)) all += ReadFile(folder + name);
  return all;
}

// The exit code (128 + the signal for a killed process); a process group still running after
// `seconds` is killed.
int Wait(pid_t pid, int seconds = 300) {
  int status = 0;
  for (int i = 0; waitpid(pid, &status, WNOHANG) == 0; ++i) {
    if (i == seconds * 50) kill(-pid, SIGKILL);
    usleep(20000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Each test works in a fresh folder `d`, removed at the end.
class Program : public testing::Test {
 protected:
  ~Program() override { fs::remove_all(d); }

  // Starts a shell command line in `d`, in a process group of its own as a terminal runs it (so
  // that a test can press Ctrl-C at the whole group); it writes LOG.out and LOG.err there.
  pid_t Start(const std::string& line, const std::string& log = "run") {
    const std::string script = kShellNames + "cd '" + d + "' && { " + line + "; } >" + log +
                               ".out 2>" + log + ".err </dev/null";
    const pid_t pid = fork();
    if (pid == 0) {
      setpgid(0, 0);
      execl("/bin/sh", "sh", "-c", script.c_str(), nullptr);
      _exit(127);
    }
    return pid;
  }

  int RunLine(const std::string& line) { return Wait(Start(line)); }

  void ExpectOneLineError(int code, const std::string& needle) {
    const std::string err = ReadFile(d + "run.err");
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.starts_with("vevirur: ") && err.find('\n') + 1 == err.size()) << err;
    EXPECT_NE(err.find(needle), std::string::npos) << err;
  }

  std::string d = mkdtemp((fs::temp_directory_path() / "vevirur-XXXXXX").string().data()) + "/"s;
};

// Each line makes its input and renders it to PNG frames: a second of sound is 30 frames (a lossy
// encoder's padding may add one), and the same input gives the same frames every time.
TEST_F(Program, RendersEverySoundAndRefusesWhatIsNot) {
  struct Case {
    std::string name, line;
    size_t frames;
    std::string error = "";
  };
  const std::string not_sound = ": not a sound file FFmpeg can read";
  const Case cases[] = {
      {"ref", "$FF $TONE -t 1 -af 'pan=stereo|c0=c0|c1=c0' r.wav && $VV render r.wav", 30},
      {"u8", "$FF $TONE -t 1 -ac 1 -ar 96000 -c:a pcm_u8 u8.wav && $VV render u8.wav", 30},
      {"six", "$FF $TONE -t 1 -ac 6 -ar 22050 -c:a pcm_s24le 6.wav && $VV render 6.wav", 30},
      {"flac", "$FF $TONE -t 1 -ac 2 -ar 48000 -f flac - | $VV render -", 30},
      {"opus", "$FF $TONE -t 1 -ac 2 -c:a libopus a.opus && $VV render a.opus", 30},
      {"m4a", "$FF $TONE -t 1 -ac 2 -c:a aac a.m4a && $VV render a.m4a", 31},
      {"mkv", "$FF $TONE -f lavfi -i testsrc=s=64x64 -t 1 a.mkv && $VV render a.mkv", 31},
      {"title", "$VV render r.wav --title 'Björk — Jóga'", 30},
      {"again", "$VV render r.wav --title 'Björk — Jóga'", 30},
      {"missing", "$VV render missing.wav", 0, "missing.wav: no such file"},
      {"text", "echo notes >t.txt && $VV render t.txt", 0, "t.txt" + not_sound},
      {"program", "head -c 200000 $VV >p.mp3 && $VV render p.mp3", 0, "p.mp3" + not_sound},
      {"empty", ": >e.wav && $VV render e.wav", 0, "e.wav" + not_sound},
      {"picture", "$FF -f lavfi -i color -frames 1 p.png && $VV render p.png", 0,
       "p.png: holds no sound"},
      {"silent", "$FF $TONE -t 0 s.wav && $VV render s.wav", 0, "s.wav: holds no sound"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int code = RunLine(c.line + " -o " + c.name + "/ --size 64x64");
    if (!c.error.empty()) {
      ExpectOneLineError(code, c.error);
      EXPECT_FALSE(fs::exists(d + c.name));
      continue;
    }
    ASSERT_EQ(code, 0) << ReadFile(d + "run.err");
    EXPECT_NE(ReadFile(d + "run.out").find("x real time\n"), std::string::npos);
    EXPECT_EQ(Names(d + c.name + "/").size(), c.frames);
  }
  EXPECT_TRUE(Contents(d + "title/") == Contents(d + "again/"));
}

// In the program's own process: a second of mono 8-bit sound at 96 kHz decodes to 44100 samples,
// the same on both channels; NaN (left) and infinite (right) samples decode as silence.
TEST_F(Program, DecodesMonoOntoBothChannelsAndBadSamplesAsSilence) {
  ASSERT_EQ(RunLine("$FF $TONE -t 1 -ac 1 -ar 96000 -c:a pcm_u8 m.wav && "
                    "$FF -f lavfi -i aevalsrc='0/0|1/0' -t 0.5 -c:a pcm_f32le n.wav"),
            0);
  vevirur::AudioDecoder mono(d + "m.wav", nullptr), bad(d + "n.wav", nullptr);
  std::vector<float> left, right, bad_left, bad_right;
  while (mono.Read(left, right, 4096) > 0) continue;
  while (bad.Read(bad_left, bad_right, 4096) > 0) continue;
  EXPECT_EQ(left.size(), 44100u);
  EXPECT_EQ(left, right);
  EXPECT_GT(*std::max_element(left.begin(), left.end()), 0.3f);
  EXPECT_EQ(bad_left, std::vector<float>(22050));
  EXPECT_EQ(bad_right, std::vector<float>(22050));
}

// Outputs that are the input, not files, or odd names; a frame folder that holds frames already.
// What is written is checked by its streams and container.
TEST_F(Program, OutputsNeverHarmAFile) {
  ASSERT_EQ(RunLine("$FF $TONE -t 0.5 in.wav && ln -s in.wav link.mp4 && ln in.wav hard.mp4 && "
                    "mkfifo fifo.mp4 && mkdir dir.mp4 && ln -s to.mp4 new.mp4 && "
                    "$VV render in.wav -o f/ --size 64x64"),
            0);
  const std::string input = ReadFile(d + "in.wav"), mp4 = "h264\naac\nmov,mp4,m4a,3gp,3g2,mj2\n";
  const std::string probe =
      "ffprobe -v error -of default=nw=1:nk=1 -show_entries stream=codec_name:format=format_name "
      "'file:";
  const std::pair<std::string, std::string> cases[] = {
      {"in.wav", "in.wav: is the input file"},
      {"link.mp4", "link.mp4: is the input file"},
      {"hard.mp4", "hard.mp4: is the input file"},
      {"fifo.mp4", "fifo.mp4: not a regular file"},
      {"/dev/null", "/dev/null: not a regular file"},
      {"dir.mp4", "dir.mp4: is a folder"},
      {"out.xyz", "not a video type this program writes"},
      {"no/such/out.mp4", "No such file or directory"},
      {"f/", "f/: holds frames of an earlier render (frame_0000"},
      {"./-x.mp4", mp4},
      {"a: b.mov", mp4},
      {"new.mp4", mp4},  // a link to a new name writes its target
      {"noext", mp4},
      {"out.mkv", "h264\naac\nmatroska,webm\n"},
      {"out.webm", "vp9\nopus\nmatroska,webm\n"},
  };
  for (const auto& [output, expected] : cases) {
    SCOPED_TRACE(output);
    const int code = RunLine("$VV render in.wav --size 64x64 -o '" + output + "'");
    if (expected.back() != '\n') {
      ExpectOneLineError(code, expected);
      continue;
    }
    EXPECT_EQ(code, 0) << ReadFile(d + "run.err");
    RunLine(probe + output + "'");
    EXPECT_EQ(ReadFile(d + "run.out"), expected);
  }
  // Two renders at once to one output both finish, neither harming the other.
  const std::string render = "$VV render in.wav -o out.mp4 --size 128x72";
  const pid_t a = Start(render, "a"), b = Start(render, "b");
  EXPECT_EQ(Wait(a), 0) << ReadFile(d + "a.err");
  EXPECT_EQ(Wait(b), 0) << ReadFile(d + "b.err");
  EXPECT_EQ(RunLine(probe + "out.mp4'"), 0);
  EXPECT_EQ(ReadFile(d + "run.out"), mp4);
  EXPECT_EQ(ReadFile(d + "in.wav"), input);
  EXPECT_TRUE(fs::is_fifo(d + "fifo.mp4"));
  EXPECT_TRUE(fs::is_symlink(d + "new.mp4"));
  EXPECT_EQ(Names(d + "f/").size(), 15u);
  EXPECT_EQ(Names(d),
            (std::set<std::string>{"in.wav",  "link.mp4", "hard.mp4", "fifo.mp4", "dir.mp4",
                                   "new.mp4", "to.mp4",   "f",        "-x.mp4",   "a: b.mov",
                                   "noext",   "out.mkv",  "out.webm", "out.mp4",  "a.out",
                                   "a.err",   "b.out",    "b.err",    "run.out",  "run.err"}));
}

// Ctrl-C (at the whole process group, as a terminal sends it), SIGTERM and SIGHUP while a video
// or frames are being written, or while a FIFO input has no writer yet: the render stops, removes
// what it wrote, leaves an earlier file at the output as it was, and says so.
TEST_F(Program, AnInterruptedRenderLeavesNothingAndSaysSo) {
  ASSERT_EQ(RunLine("$FF $TONE -t 60 in.wav && mkfifo in.fifo && mkdir f && echo a >f/keep && "
                    "echo earlier >out.mp4"),
            0);
  // `started`: true once the render, process $P, is under way.
  const std::tuple<int, std::string, std::string, std::string> cases[] = {
      {SIGINT, "in.wav", "out.mp4", "ls .out.mp4.vevirur-*"},
      {SIGTERM, "in.wav", "out.mp4", "ls .out.mp4.vevirur-*"},
      {SIGHUP, "in.wav", "f/", "ls f/frame_000010.png"},
      {SIGINT, "in.fifo", "out.mp4", "grep -q partner /proc/$P/wchan"}};
  for (const auto& [signal, input, output, started] : cases) {
    SCOPED_TRACE(started);
    const pid_t pid = Start("exec $VV render " + input + " -o " + output + " --size 320x180", "r");
    for (int i = 0; i < 1000 && RunLine("P=" + std::to_string(pid) + "; " + started); ++i)
      usleep(20000);
    kill(signal == SIGINT ? -pid : pid, signal);
    EXPECT_EQ(Wait(pid, 20), 128 + signal);
    EXPECT_EQ(ReadFile(d + "r.err"), "vevirur: interrupted; nothing was left behind\n");
  }
  EXPECT_EQ(ReadFile(d + "out.mp4"), "earlier\n");
  EXPECT_EQ(Names(d), (std::set<std::string>{"in.wav", "in.fifo", "f", "out.mp4", "r.out", "r.err",
                                             "run.out", "run.err"}));
  EXPECT_EQ(Names(d + "f"), std::set<std::string>{"keep"});
}

TEST_F(Program, LiveSaysWhatIsMissingInOneLine) {
  ExpectOneLineError(RunLine("DISPLAY= PULSE_SERVER=unix:/nonexistent $VV live"),
                     "no sound server to capture from");
  ExpectOneLineError(RunLine("DISPLAY= $VV live --source vevirur-demo"),
                     "cannot open a window: no display (DISPLAY is not set)");
  EXPECT_EQ(RunLine("SDL_VIDEODRIVER=x11 xvfb-run -a $VV live --source vevirur-demo --seconds 3"),
            0);
  EXPECT_EQ(ReadFile(d + "run.err"), "");
}

// A sound server that dies under the live window is reported and connected to again once it is
// back at the same socket, and the window still closes on time, even with the server hung. The
// server is a private PulseAudio whose null sink gives the default monitor to record from.
TEST_F(Program, LiveReconnectsToASoundServerThatComesBack) {
  const std::string env =
      "export HOME=$PWD XDG_RUNTIME_DIR=$PWD PULSE_SERVER=unix:$PWD/s SDL_VIDEODRIVER=x11; ";
  const std::string serve =
      env +
      "exec pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no "
      "--load=\"module-native-protocol-unix socket=$PWD/s auth-anonymous=1\" "
      "--load=module-null-sink";
  const auto until = [&](const std::string& condition) {  // polled for a minute or more
    for (int i = 0; i < 1500; ++i, usleep(20000))
      if (RunLine(env + condition) == 0) return true;
    return false;
  };
  pid_t server = Start(serve, "pa"), live = 0;
  struct Ends {  // the server and the window go whatever happens
    pid_t &server, &live;
    ~Ends() {
      for (pid_t pid : {server, live}) {
        if (pid) kill(-pid, SIGKILL);
        if (pid) Wait(pid);
      }
    }
  } ends{server, live};
  ASSERT_TRUE(until("pactl info")) << ReadFile(d + "pa.err");
  live = Start(env + "xvfb-run -a $VV live --seconds 12", "live");
  ASSERT_TRUE(until("pactl list short source-outputs | grep -q .")) << ReadFile(d + "live.err");
  kill(server, SIGKILL);
  Wait(server);
  ASSERT_TRUE(until("grep -q lost live.err"));
  server = Start(serve, "pa");
  ASSERT_TRUE(until("grep -q back live.err")) << ReadFile(d + "pa.err");
  kill(server, SIGSTOP);  // a server that hangs cannot keep the window open
  EXPECT_EQ(Wait(std::exchange(live, 0), 120), 0);
  EXPECT_EQ(ReadFile(d + "live.err"),
            "vevirur: Sound server lost; reconnecting\nvevirur: Sound server back\n");
}

}  // namespace
