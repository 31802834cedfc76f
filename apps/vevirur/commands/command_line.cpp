#include "commands/command_line.h"

#include <cmath>
#include <cstdlib>

#include "app_error.h"
#include "pictures_out/video_encoder.h"
#include "vevirur_version.h"

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
         "       vevirur live [--source NAME] [--seconds N]\n";
}

std::string VersionText() {
  return "vevirur " VEVIRUR_VERSION " (Vevirur 2)\n";
}

std::string HelpText(CommandKind topic) {
  switch (topic) {
    case CommandKind::kRender:
      return "usage: vevirur render INPUT -o OUTPUT.mp4|DIR/ [options]\n"
             "Renders INPUT through the visualization at 30 frames a second, on audio time: the\n"
             "same file always gives the same frames. INPUT is any sound FFmpeg reads (WAV, FLAC,\n"
             "MP3, Ogg, Opus, AAC/M4A, WMA, the soundtrack of a video; any channels, rate and\n"
             "sample format); INPUT - is standard input.\n"
             "\n"
             "  -o OUTPUT.mp4   the video; the extension picks it: .mp4 (also no extension),\n"
             "                  .mkv, .mov: H.264 and AAC; .webm: VP9 and Opus. Written to a\n"
             "                  temporary file beside it and renamed into place when complete;\n"
             "                  the input, folders, devices and FIFOs are refused as outputs\n"
             "  -o DIR/         PNG frames frame_000000.png, ... in DIR/ instead (the trailing /\n"
             "                  decides); a folder that already holds frames is refused\n"
             "  --size WxH      picture size; even sides from 64 to 8192 (default 1280x720)\n"
             "  --seconds N     render only the first N seconds of the audio\n"
             "  --title TEXT    UTF-8 text shown as the song title for the first 10 seconds\n"
             "  --quality Q     draft: x264 ultrafast, CRF 28; standard (default): ultrafast,\n"
             "                  CRF 23; high: veryfast, CRF 20; best: slow, CRF 17\n"
             "                  (VP9: CRF 40/33/31/24)\n"
             "  -h, --help      show this help\n"
             "\n"
             "Ctrl-C, SIGTERM or SIGHUP stop a render, remove its partial output and exit with\n"
             "128 + the signal's number (130 for Ctrl-C).\n";
    case CommandKind::kDemo:
      return "usage: vevirur demo [-o DIR/]\n"
             "Renders the built-in 48-second demo track to DIR/demo.mp4, with a contact sheet\n"
             "DIR/demo_contact_sheet.png and one frame DIR/demo_frame.png.\n"
             "\n"
             "  -o DIR/         the output folder (default out/)\n"
             "  -h, --help      show this help\n";
    case CommandKind::kLive:
      return "usage: vevirur live [--source NAME] [--seconds N]\n"
             "Shows the visualization of what the machine is playing in a window.\n"
             "\n"
             "  --source NAME   the PulseAudio/PipeWire source to capture (default: the monitor\n"
             "                  of the default output)\n"
             "  --seconds N     close the window after N seconds\n"
             "  -h, --help      show this help\n"
             "\n"
             "keys: F6 or Enter change the drawing, F4 lock it, Space song title, H help page,\n"
             "      Alt+Enter full screen, Esc leave full screen, Q quit\n";
    default:
      return std::string("vevirur " VEVIRUR_VERSION
                         ": the Vevirur 2 music visualization on Linux\n\n") +
             UsageText() +
             "       vevirur COMMAND --help\n"
             "       vevirur --version\n"
             "\n"
             "  render   render an audio file to an H.264 video or to PNG frames\n"
             "  demo     render the built-in demo track\n"
             "  live     show what the machine is playing in a window\n"
             "\n"
             "'vevirur COMMAND --help' and 'man vevirur' tell more.\n";
  }
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine out;
  if (args.empty()) throw AppError("no command given; try 'vevirur help'");
  const std::string& command = args[0];
  if (command == "help" || command == "--help" || command == "-h") return out;
  if (command == "--version") {
    out.kind = CommandKind::kVersion;
    return out;
  }
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
    if (arg == "--help" || arg == "-h") {
      CommandLine help;
      help.help_for = out.kind;
      return help;
    }
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
