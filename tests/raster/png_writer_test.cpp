// PNG output: what is written reads back identically; bad requests write nothing.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "png_writer.h"

namespace {

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

bool ReadPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  width = int(image.width);
  height = int(image.height);
  rgb.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

TEST(PngWriter, RoundTripsEveryByte) {
  const int width = 7, height = 3;  // odd width: rows are not 4-byte aligned
  std::vector<uint8_t> rgb(width * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 37 + 11);
  const std::string path = TempPath("vv_png_roundtrip.png");
  ASSERT_TRUE(WritePng(path, width, height, rgb.data()));
  int w = 0, h = 0;
  std::vector<uint8_t> back;
  ASSERT_TRUE(ReadPng(path, w, h, back));
  EXPECT_EQ(w, width);
  EXPECT_EQ(h, height);
  EXPECT_EQ(back, rgb);
  std::filesystem::remove(path);
}

TEST(PngWriter, RefusesBadRequestsWithoutLeavingAFile) {
  const uint8_t pixel[3] = {1, 2, 3};
  const std::string path = TempPath("vv_png_refused.png");
  std::filesystem::remove(path);
  EXPECT_FALSE(WritePng(path, 0, 1, pixel));
  EXPECT_FALSE(WritePng(path, 1, -5, pixel));
  EXPECT_FALSE(WritePng(path, 1, 1, nullptr));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", 1, 1, pixel));
}
