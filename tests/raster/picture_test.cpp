// Writes sample pictures as PNG files under the build folder, so anyone can look at the lines,
// spots and the dissolve (raster_pictures/*.png next to the test executable's working folder).
#include <cmath>
#include <filesystem>
#include <numbers>

#include "png_writer.h"
#include "surface_fixture.h"

namespace {

class PictureTest : public SurfaceTest {};

std::string PicturePath(const char* name) {
  std::filesystem::path dir = std::filesystem::path(VV_PICTURE_DIR) / "raster_pictures";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

}  // namespace

TEST_F(PictureTest, LinesSpotsAndDissolveAsPng) {
  const int w = 640, h = 480;
  Make(w, h, 16);
  // A fan of lines of every pen width, solid on the left, stippled on the right.
  for (int i = 0; i < 32; ++i) {
    SetPenWidth(i + 1);
    SetDrawDensity(65535);
    const double a = i * std::numbers::pi / 64;
    DrawLine(160, 240, 160 + int(140 * std::cos(a)), 240 - int(200 * std::sin(a)),
             uint16_t(i * 2000), 65535, uint16_t(65535 - i * 2000));
    SetDrawDensity(12000);
    DrawLine(480, 240, 480 - int(140 * std::cos(a)), 240 + int(200 * std::sin(a)), 65535,
             uint16_t(i * 2000), 20000);
  }
  // A row of spots of pen widths 1..32.
  SetDrawDensity(65535);
  for (int i = 1; i <= 16; ++i) {
    SetPenWidth(i * 2);
    DrawLine(i * 36, 440, i * 36, 440, 65535, 65535, 0);
  }
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(ReadShownPicture(w, h, rgb));
  EXPECT_TRUE(WritePng(PicturePath("lines.png"), w, h, rgb.data()));
  // Left half dissolved once at density 16384, right half three times.
  DissolveRect(0, 0, w / 2, h, 16384);
  for (int i = 0; i < 3; ++i) DissolveRect(w / 2, 0, w, h, 16384);
  ASSERT_TRUE(ReadShownPicture(w, h, rgb));
  EXPECT_TRUE(WritePng(PicturePath("dissolved.png"), w, h, rgb.data()));
}
