#include "commands/command_line.h"

#include <cmath>
#include <cstdlib>

#include "app_error.h"
#include "pictures_out/video_encoder.h"

namespace vevirur {
namespace {

// Large enough for any display, small enough that a frame's bytes fit comfortably in memory.
constexpr int kMaxSide = 8192;

void ParseSize(const std::string& text, CommandLine& out) {
  size_t x = text.find('x');
  if (x == std::string::npos)
    throw AppError("--size wants WIDTHxHEIGHT, e.g. 1280x720, not '" + text + "'");
  std::string w = text.substr(0, x), h = text.substr(x + 1);
  auto number = [&](const std::string& s) {
    if (s.empty() || s.size() > 5 || s.find_first_not_of("0123456789") != std::string::npos)
      throw AppError("--size wants WIDTHxHEIGHT, e.g. 1280x720, not '" + text + "'");
    return std::atoi(s.c_str());
  };
  int width = number(w), height = number(h);
  // Even sides keep the 4:2:0 video encoder happy; tiny pictures have no room for the scene.
  if (width < 64 || height < 64 || width > kMaxSide || height > kMaxSide || width % 2 || height % 2)
    throw AppError("--size " + text + ": width and height must be even and between 64 and 8192");
  out.width = width;
  out.height = height;
}

double ParseSeconds(const std::string& text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0 || value > 86400)
    throw AppError("--seconds wants a positive number of seconds, not '" + text + "'");
  return value;
}

}  // namespace

bool IsFrameFolder(const std::string& output) {
  return !output.empty() && output.back() == '/';
}

const char* UsageText() {
  return "usage: vevirur render INPUT -o OUTPUT.mp4|DIR/ [--size WxH] [--seconds N] [--title "
         "TEXT]\n"
         "                      [--quality draft|standard|high|best]\n"
         "       vevirur demo [-o DIR/]\n"
         "       vevirur live [--source NAME] [--seconds N]\n"
         "\n"
         "render reads any sound FFmpeg reads (WAV, FLAC, MP3, Ogg, Opus, AAC/M4A, WMA, the\n"
         "soundtrack of a video; any channels, rate and sample format); INPUT - is standard "
         "input.\n"
         "OUTPUT's extension picks the video: .mp4 (also no extension), .mkv, .mov: H.264 and "
         "AAC;\n"
         ".webm: VP9 and Opus. It is written to a temporary file beside it and renamed into place\n"
         "when complete; the input, folders, devices and FIFOs are refused as outputs.\n"
         "DIR/ gets PNG frames frame_000000.png, ...; a folder that already holds frames is "
         "refused.\n"
         "--quality  draft: x264 ultrafast, CRF 28; standard (default): ultrafast, CRF 23;\n"
         "           high: veryfast, CRF 20; best: slow, CRF 17 (VP9: CRF 40/33/31/24)\n"
         "--title    UTF-8 text shown for the first 10 s\n"
         "Ctrl-C, SIGTERM or SIGHUP stop a render, remove its partial output and exit with\n"
         "128 + the signal's number (130 for Ctrl-C).\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine out;
  if (args.empty()) throw AppError("no command given; try 'vevirur help'");
  const std::string& command = args[0];
  if (command == "help" || command == "--help" || command == "-h") return out;
  if (command == "render") {
    out.kind = CommandKind::kRender;
  } else if (command == "demo") {
    out.kind = CommandKind::kDemo;
    out.output = "out/";
  } else if (command == "live") {
    out.kind = CommandKind::kLive;
  } else {
    throw AppError("unknown command '" + command + "'; the commands are render, demo and live");
  }

  bool output_given = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw AppError(arg + " needs a value");
      return args[++i];
    };
    bool renders = out.kind != CommandKind::kLive;
    if (arg == "-o" && renders) {
      out.output = value();
      output_given = true;
      if (out.output.empty()) throw AppError("-o needs a file or folder name");
    } else if (arg == "--size" && out.kind == CommandKind::kRender) {
      ParseSize(value(), out);
    } else if (arg == "--seconds" && out.kind != CommandKind::kDemo) {
      out.seconds = ParseSeconds(value());
    } else if (arg == "--title" && out.kind == CommandKind::kRender) {
      out.title = value();
    } else if (arg == "--quality" && out.kind == CommandKind::kRender) {
      Quality quality;
      const std::string& name = value();
      if (!ParseQuality(name, quality))
        throw AppError("--quality wants draft, standard, high or best, not '" + name + "'");
      out.quality = int(quality);
    } else if (arg == "--source" && out.kind == CommandKind::kLive) {
      out.source = value();
      if (out.source.empty()) throw AppError("--source needs a source name");
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw AppError("unknown option '" + arg + "' for " + command);
    } else if (out.kind == CommandKind::kRender && out.input.empty()) {
      out.input = arg;
    } else {
      throw AppError("unexpected argument '" + arg + "'");
    }
  }

  if (out.kind == CommandKind::kRender) {
    if (out.input.empty()) throw AppError("render needs an input audio file");
    if (!output_given) throw AppError("render needs -o OUTPUT.mp4 or -o DIR/");
  }
  if (out.kind == CommandKind::kDemo && !IsFrameFolder(out.output)) out.output += '/';
  return out;
}

}  // namespace vevirur
