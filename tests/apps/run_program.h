#pragma once
// Runs the vevirur program as a child process and collects what it says.
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// `env` entries "NAME=value" are added to (or replace in) the current environment.
ProgramRun RunVevirur(const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {});

// Starts vevirur in a process group of its own (so a test can signal the whole group, as a
// terminal's Ctrl-C does); its output goes to `out_file` / `err_file`. Returns the process id.
pid_t StartVevirur(const std::vector<std::string>& args, const std::string& out_file,
                   const std::string& err_file);
// Waits up to `seconds` for `pid`; its exit code (128 + signal when killed), or -1 when it is
// still running (then it is killed).
int WaitForExit(pid_t pid, double seconds);

// Runs a shell command line; true when it exited with 0.
bool Shell(const std::string& command);

// A fresh empty folder under the temporary directory, removed by the destructor.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& path() const { return path_; }  // ends with '/'

 private:
  std::string path_;
};
