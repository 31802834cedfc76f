#pragma once
// The three commands of the front end and their options.
#include <optional>
#include <string>
#include <vector>

namespace vevirur {

enum class CommandKind { kRender, kDemo, kLive, kHelp };

struct CommandLine {
  CommandKind kind = CommandKind::kHelp;
  std::string input;   // render: the audio file
  std::string output;  // render: OUTPUT.mp4 or DIR/; demo: the folder ("out/")
  int width = 1280;
  int height = 720;
  std::optional<double> seconds;  // render: audio limit; live: run time limit
  std::string title;              // render: the title overlay text, UTF-8 (empty: none)
  int quality = 1;                // render: a Quality of video_encoder.h (standard)
  std::string source;             // live: capture source name (empty: the default monitor)
};

// Throws AppError with a one-line message on any mistake.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// True when `output` names a folder of PNG frames rather than a video file.
bool IsFrameFolder(const std::string& output);

const char* UsageText();

}  // namespace vevirur
