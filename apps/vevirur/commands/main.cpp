// vevirur: renders audio files to video, plays the built-in demo, or shows the visualization
// live on the machine's own sound.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app_error.h"
#include "commands/commands.h"

namespace {

pthread_t main_thread;

// Any thread may take the signal; the main thread gets it too, so that a blocking read there (a
// FIFO input without a writer) returns at once instead of waiting on.
void OnInterrupt(int signal) {
  if (!pthread_equal(pthread_self(), main_thread)) {
    pthread_kill(main_thread, signal);
    return;
  }
  int none = 0;
  vevirur::InterruptSignal.compare_exchange_strong(none, signal);
  vevirur::InterruptRequested = true;
}

void CatchInterrupts() {
  main_thread = pthread_self();
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: blocking calls return with EINTR
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, nullptr);  // a closed pipe shows as a failed write
}

int InterruptedExit() {
  std::fprintf(stderr, "vevirur: interrupted; nothing was left behind\n");
  const int signal = vevirur::InterruptSignal.load();
  return 128 + (signal ? signal : SIGINT);
}

}  // namespace

int main(int argc, char** argv) {
  CatchInterrupts();
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
    vevirur::CommandLine command = vevirur::ParseCommandLine(args);
    int code = 0;
    switch (command.kind) {
      case vevirur::CommandKind::kRender:
        code = vevirur::RunRender(command);
        break;
      case vevirur::CommandKind::kDemo:
        code = vevirur::RunDemo(command);
        break;
      case vevirur::CommandKind::kLive:
        code = vevirur::RunLive(command);
        break;
      case vevirur::CommandKind::kHelp:
        std::fputs(vevirur::UsageText(), stdout);
        break;
    }
    // The live window ends quietly on a signal, like on Q, but says so in the exit code.
    if (vevirur::InterruptRequested && command.kind == vevirur::CommandKind::kLive)
      return 128 + vevirur::InterruptSignal.load();
    return code;
  } catch (const vevirur::Interrupted&) {
    return InterruptedExit();
  } catch (const vevirur::AppError& error) {
    // A failure caused by the interruption (a read cut short) is the interruption.
    if (vevirur::InterruptRequested) return InterruptedExit();
    std::fprintf(stderr, "vevirur: %s\n", error.what());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vevirur: unexpected failure: %s\n", error.what());
    return 2;
  } catch (...) {
    std::fprintf(stderr, "vevirur: unexpected failure\n");
    return 2;
  }
}
