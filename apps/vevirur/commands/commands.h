#pragma once
// The front end's commands; each returns the process exit code or throws AppError.
#include <atomic>

#include "commands/command_line.h"

namespace vevirur {

// Set by SIGINT, SIGTERM or SIGHUP: commands stop, remove their partial output and exit with
// 128 + the signal's number (InterruptSignal).
extern std::atomic<bool> InterruptRequested;
extern std::atomic<int> InterruptSignal;

int RunRender(const CommandLine& command);
int RunDemo(const CommandLine& command);
int RunLive(const CommandLine& command);

}  // namespace vevirur
