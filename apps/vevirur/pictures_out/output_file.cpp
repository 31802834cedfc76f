#include "pictures_out/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app_error.h"

namespace vevirur {
namespace {

std::string Folder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the name that is really written; a dangling link's target is
// created.
std::string FollowLinks(const std::string& name) {
  std::string path = name;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::vector<char> buffer(4096);
    ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    if (length < 0)
      throw AppError(name + ": cannot follow the link (" + std::strerror(errno) + ")");
    std::string link(buffer.data(), size_t(length));
    path = link[0] == '/' ? link : Folder(path) + "/" + link;
  }
  throw AppError(name + ": too many levels of links");
}

}  // namespace

OutputFile::OutputFile(const std::string& name, const std::string& input) : name_(name) {
  target_ = FollowLinks(name);
  struct stat out {};
  if (stat(target_.c_str(), &out) == 0) {
    if (S_ISDIR(out.st_mode))
      throw AppError(name + ": is a folder; for PNG frames write it with a trailing '/'");
    if (!S_ISREG(out.st_mode))
      throw AppError(name + ": not a regular file (a device, FIFO or socket); give a file name");
    struct stat in {};
    const bool have_input = input == "-" ? fstat(STDIN_FILENO, &in) == 0
                                         : !input.empty() && stat(input.c_str(), &in) == 0;
    if (have_input && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
      throw AppError(name + ": is the input file; give another output name");
  } else if (errno != ENOENT) {
    throw AppError(name + ": cannot write (" + std::strerror(errno) + ")");
  }

  // Beside the target, so that the rename is atomic; unique per run.
  std::string pattern = Folder(target_) + "/." + BaseName(target_) + ".vevirur-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) throw AppError(name + ": cannot write (" + std::strerror(errno) + ")");
  temporary_ = buffer.data();
  // The finished file gets the replaced file's permissions, or a new file's usual ones.
  mode_t mode = 0;
  if (stat(target_.c_str(), &out) == 0) {
    mode = out.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd, mode);
  close(fd);
}

OutputFile::~OutputFile() {
  Discard();
}

void OutputFile::Commit() {
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    throw AppError(name_ + ": cannot put the finished file in place (" + std::strerror(error) +
                   ")");
  }
  temporary_.clear();
}

void OutputFile::Discard() noexcept {
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace vevirur
