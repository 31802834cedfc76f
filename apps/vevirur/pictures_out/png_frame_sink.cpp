#include "pictures_out/png_frame_sink.h"

#include <fcntl.h>
#include <png_writer.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app_error.h"

namespace vevirur {
namespace {

bool IsFrameName(const std::string& name) {
  return name.size() == 16 && name.compare(0, 6, "frame_") == 0 &&
         name.compare(12, 4, ".png") == 0 && name.find_first_not_of("0123456789", 6) == 12;
}

}  // namespace

PngFrameSink::PngFrameSink(const std::string& folder) : folder_(folder) {
  std::error_code error;
  created_ = std::filesystem::create_directories(folder_, error);
  if (error || !std::filesystem::is_directory(folder_))
    throw AppError(folder_ + ": cannot create the output folder" +
                   (error ? " (" + error.message() + ")" : ""));
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error))
    if (IsFrameName(entry.path().filename().string()))
      throw AppError(folder_ + ": holds frames of an earlier render (" +
                     entry.path().filename().string() + "); remove them or give another folder");
  // A read-only folder exists but cannot take frames.
  if (access(folder_.c_str(), W_OK) != 0)
    throw AppError(folder_ + ": cannot write into the output folder");
}

PngFrameSink::~PngFrameSink() {
  Abort();
}

std::string PngFrameSink::FrameName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06d.png", index);
  return name;
}

void PngFrameSink::Write(const Picture& picture) {
  std::string path = folder_ + FrameName(int(written_.size()));
  // Claimed first: a frame another render made meanwhile is never overwritten nor removed.
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) throw AppError(path + ": cannot write the frame (" + std::strerror(errno) + ")");
  close(fd);
  written_.push_back(path);
  if (!WritePng(path, picture.width, picture.height, picture.rgb.data()))
    throw AppError(path + ": cannot write the frame");
}

void PngFrameSink::Abort() noexcept {
  for (const std::string& path : written_) std::remove(path.c_str());
  // A folder this render made goes too, when nothing else has arrived in it.
  if (created_) rmdir(folder_.c_str());
  created_ = false;
  written_.clear();
}

}  // namespace vevirur
