#pragma once
// The one kind of failure the front end reports to the user: a single line, then a non-zero exit.
#include <stdexcept>
#include <string>

namespace vevirur {

class AppError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vevirur
