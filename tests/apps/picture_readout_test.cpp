#include "picture_readout.h"

#include <gtest/gtest.h>

#include "raster/drawing.h"

namespace vevirur {
namespace {

// The fast read-out must show exactly what the drawing interface's own read-out shows,
// including the black beyond the bitmap when the window is larger.
TEST(PictureReadout, MatchesTheDrawingInterface) {
  ASSERT_EQ(CreateDrawSurface(96, 64, 16), 1);
  SetPenWidth(3);
  DrawLine(0, 0, 95, 63, 0xFFFF, 0x8000, 0x0800);
  DrawLine(95, 0, 0, 63, 0x1234, 0xFFFF, 0x7FFF);
  DrawLine(10, 60, 90, 2, 0xF800, 0x0000, 0xFFFF);
  for (auto [w, h] : {std::pair{96, 64}, std::pair{110, 70}, std::pair{50, 30}}) {
    std::vector<uint8_t> expected;
    ASSERT_TRUE(ReadShownPicture(w, h, expected));
    Picture picture(w, h);
    std::fill(picture.rgb.begin(), picture.rgb.end(), 0x5A);
    ASSERT_TRUE(ReadFinishedPicture(picture));
    EXPECT_EQ(picture.rgb, expected) << w << 'x' << h;
  }
  DestroyDrawSurface();
  Picture none(8, 8);
  EXPECT_FALSE(ReadFinishedPicture(none));
}

}  // namespace
}  // namespace vevirur
