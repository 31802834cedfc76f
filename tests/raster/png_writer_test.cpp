// PNG output: what is written reads back identically; bad requests write nothing.
#include "png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <vector>

TEST(PngWriter, RoundTripsEveryByteAndRefusesBadRequestsWithoutLeavingAFile) {
  const std::string path = (std::filesystem::temp_directory_path() / "vv_png_test.png").string();
  const int width = 7, height = 3;  // odd width: rows are not 4-byte aligned
  std::vector<uint8_t> rgb(width * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 37 + 11);
  ASSERT_TRUE(WritePng(path, width, height, rgb.data()));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_RGB;
  EXPECT_EQ(std::pair(image.width, image.height),
            std::pair(png_uint_32(width), png_uint_32(height)));
  std::vector<uint8_t> back(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr));
  EXPECT_EQ(back, rgb);
  std::filesystem::remove(path);
  EXPECT_FALSE(WritePng(path, 0, 1, rgb.data()));
  EXPECT_FALSE(WritePng(path, 1, -5, rgb.data()));
  EXPECT_FALSE(WritePng(path, 1, 1, nullptr));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", 1, 1, rgb.data()));
}
