#pragma once
// The one kind of failure the front end reports to the user: a single line, then a non-zero exit.
// An interruption (Ctrl-C, SIGTERM, SIGHUP) unwinds as Interrupted: partial output is removed on
// the way out and the exit code says which signal ended the run.
#include <stdexcept>
#include <string>

namespace vevirur {

class AppError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Interrupted : public std::exception {
 public:
  const char* what() const noexcept override { return "interrupted"; }
};

}  // namespace vevirur
