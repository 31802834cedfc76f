#include <gtest/gtest.h>

#include <vector>

#include "pictures_out/yuv_convert.h"

namespace vevirur {
namespace {

TEST(YuvConvert, BlackWhiteAndRedInLimitedRange) {
  Picture p(4, 2);
  for (int x = 2; x < 4; ++x)
    for (int y = 0; y < 2; ++y) {
      p.pixel(x, y)[0] = 255;
      p.pixel(x, y)[1] = x == 3 ? 255 : 0;
      p.pixel(x, y)[2] = x == 3 ? 255 : 0;
    }
  std::vector<uint8_t> yuv;
  ConvertToYuv420(p, yuv);
  ASSERT_EQ(yuv.size(), 12u);
  EXPECT_EQ(yuv[0], 16);   // black
  EXPECT_EQ(yuv[3], 235);  // white
  EXPECT_EQ(yuv[2], 82);   // red
  EXPECT_EQ(yuv[8], 128);  // chroma of the black block
  EXPECT_EQ(yuv[10], 128);
  EXPECT_GT(yuv[11], 128);  // the red-and-white block leans red
}

}  // namespace
}  // namespace vevirur
