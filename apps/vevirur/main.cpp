// vevirur: renders audio files to video, plays the built-in demo, or shows the visualization
// live on the machine's own sound.
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app_error.h"
#include "commands.h"

namespace {

void OnInterrupt(int) {
  vevirur::InterruptRequested = true;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a dead ffmpeg shows as a failed write, not a killed process
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
    vevirur::CommandLine command = vevirur::ParseCommandLine(args);
    switch (command.kind) {
      case vevirur::CommandKind::kRender:
        return vevirur::RunRender(command);
      case vevirur::CommandKind::kDemo:
        return vevirur::RunDemo(command);
      case vevirur::CommandKind::kLive:
        return vevirur::RunLive(command);
      case vevirur::CommandKind::kHelp:
        std::fputs(vevirur::HelpText(command.help_for).c_str(), stdout);
        return 0;
      case vevirur::CommandKind::kVersion:
        std::fputs(vevirur::VersionText().c_str(), stdout);
        return 0;
    }
  } catch (const vevirur::AppError& error) {
    std::fprintf(stderr, "vevirur: %s\n", error.what());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vevirur: unexpected failure: %s\n", error.what());
    return 2;
  } catch (...) {
    std::fprintf(stderr, "vevirur: unexpected failure\n");
    return 2;
  }
  return 0;
}
