#include "pictures_out/png_frame_sink.h"

#include <png_writer.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app_error.h"

namespace vevirur {

PngFrameSink::PngFrameSink(const std::string& folder) : folder_(folder) {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error || !std::filesystem::is_directory(folder_))
    throw AppError(folder_ + ": cannot create the output folder" +
                   (error ? " (" + error.message() + ")" : ""));
  // Probe with a real file: a read-only folder exists but cannot take frames.
  std::string probe = folder_ + ".vevirur-write-test";
  FILE* file = std::fopen(probe.c_str(), "wb");
  if (!file) throw AppError(folder_ + ": cannot write into the output folder");
  std::fclose(file);
  std::remove(probe.c_str());
}

std::string PngFrameSink::FrameName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06d.png", index);
  return name;
}

void PngFrameSink::Write(const Picture& picture) {
  std::string path = folder_ + FrameName(int(written_.size()));
  if (!WritePng(path, picture.width, picture.height, picture.rgb.data()))
    throw AppError(path + ": cannot write the frame");
  written_.push_back(path);
}

void PngFrameSink::Abort() noexcept {
  for (const std::string& path : written_) std::remove(path.c_str());
  written_.clear();
}

}  // namespace vevirur
