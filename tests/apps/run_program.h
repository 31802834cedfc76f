#pragma once
// Runs the vevirur program as a child process and collects what it says.
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

// A fresh empty folder under the temporary directory, removed by the destructor.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& path() const { return path_; }  // ends with '/'

 private:
  std::string path_;
};
