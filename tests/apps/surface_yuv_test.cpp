#include "pictures_out/surface_yuv.h"

#include <gtest/gtest.h>

#include "pictures_out/picture.h"
#include "pictures_out/yuv_convert.h"
#include "raster/drawing.h"
#include "raster/shown_picture.h"

namespace vevirur {
namespace {

// The one-pass 4:2:0 conversion from the surface gives the very bytes of the RGB read-out
// followed by the RGB conversion: mixed colours in every 2 x 2 block, black runs, the black
// beyond a smaller bitmap (an odd column of it inside a block), and a window smaller than it.
TEST(SurfaceYuv, SurfaceToYuvMatchesTheRgbPath) {
  ASSERT_EQ(CreateDrawSurface(97, 64, 16), 1);
  SetPenWidth(3);
  DrawLine(0, 0, 96, 63, 0xFFFF, 0x8000, 0x0800);
  DrawLine(96, 0, 0, 63, 0x1234, 0xFFFF, 0x7FFF);
  SetPenWidth(1);
  for (int x = 0; x < 97; x += 3) DrawLine(x, 20, x, 40, 0xF800 - x * 300, x * 600, 0x4000);
  for (auto [w, h] :
       {std::pair{100, 66}, std::pair{110, 70}, std::pair{104, 80}, std::pair{50, 30}}) {
    Picture picture(w, h);
    ASSERT_TRUE(ReadShownPicture(w, h, picture.rgb));
    std::vector<uint8_t> expected, fused;
    ConvertToYuv420(picture, expected);
    ASSERT_TRUE(ConvertShownPictureToYuv420(w, h, fused));
    EXPECT_EQ(fused, expected) << w << 'x' << h;
  }
  DestroyDrawSurface();
  std::vector<uint8_t> untouched{1, 2, 3};
  EXPECT_FALSE(ConvertShownPictureToYuv420(8, 8, untouched));
  EXPECT_EQ(untouched.size(), 3u);
}

}  // namespace
}  // namespace vevirur
