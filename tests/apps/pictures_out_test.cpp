// Pictures to video: limited-range BT.601 4:2:0, and the one-pass conversion straight from the
// drawing surface giving the very bytes of the RGB read-out followed by the RGB conversion.
#include <gtest/gtest.h>

#include "pictures_out/surface_yuv.h"
#include "pictures_out/yuv_convert.h"
#include "raster/drawing.h"
#include "raster/shown_picture.h"

namespace vevirur {
namespace {

TEST(YuvConvert, BlackWhiteAndRedInLimitedRange) {
  Picture p(4, 2);  // black, black, red, white in both rows
  for (int y = 0; y < 2; ++y) {
    p.pixel(2, y)[0] = 255;
    std::fill_n(p.pixel(3, y), 3, 255);
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

// Mixed colours in every 2 x 2 block, black runs, the black beyond a smaller bitmap (an odd
// column of it inside a block), and a window smaller than it.
TEST(SurfaceYuv, SurfaceToYuvMatchesTheRgbPath) {
  ASSERT_EQ(CreateDrawSurface(97, 64, 16), 1);
  SetPenWidth(3);
  DrawLine(0, 0, 96, 63, 0xFFFF, 0x8000, 0x0800);
  SetPenWidth(1);
  for (int x = 0; x < 97; x += 3) DrawLine(x, 20, x, 40, 0xF800 - x * 300, x * 600, 0x4000);
  for (auto [w, h] : {std::pair{100, 66}, std::pair{104, 80}, std::pair{50, 30}}) {
    Picture picture(w, h);
    ASSERT_TRUE(ReadShownPicture(w, h, picture.rgb));
    std::vector<uint8_t> expected, fused;
    ConvertToYuv420(picture, expected);
    ASSERT_TRUE(ConvertShownPictureToYuv420(w, h, fused));
    EXPECT_EQ(fused, expected) << w << 'x' << h;
  }
  DestroyDrawSurface();
  std::vector<uint8_t> none;
  EXPECT_FALSE(ConvertShownPictureToYuv420(8, 8, none));
}

}  // namespace
}  // namespace vevirur
