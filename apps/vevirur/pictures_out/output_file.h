#pragma once
// A render's output file, made so that it never harms a file: the output may not be the input
// (also not through a link or under another name), only a regular file or a new name is
// written, through a temporary file beside it that is renamed into place when complete. A
// symbolic link's target is what gets written; the link stays.
#include <string>

namespace vevirur {

class OutputFile {
 public:
  // Checks `name` against `input` ("-": standard input; "": none) and makes the temporary file;
  // throws AppError with a one-line reason before anything is written.
  OutputFile(const std::string& name, const std::string& input);
  ~OutputFile();  // removes the temporary file unless committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  const std::string& temporary_path() const { return temporary_; }
  const std::string& target() const { return target_; }
  // Renames the finished temporary file over the target; throws AppError when it cannot.
  void Commit();
  // Removes the temporary file; never throws.
  void Discard() noexcept;

 private:
  std::string name_, target_, temporary_;
};

}  // namespace vevirur
