// The drawing surface: layout, clip rectangle, noise, pen, palette, blit, read-out and failures.
#include <array>
#include <string>
#include <thread>
#include <vector>

#include "platform/pixel_memory.h"
#include "raster/shown_picture.h"
#include "surface_fixture.h"

namespace {

class DrawSurfaceTest : public SurfaceTest {};

std::vector<std::string> reported;
void Record(const char* text) {
  reported.push_back(text);
}

}  // namespace

TEST_F(DrawSurfaceTest, WidthRoundsUpToFourButTheClipComesFromTheRequest) {
  const struct {
    int width, height, bits, madeWidth, stride, clipRight, clipBottom;
  } cases[] = {{640, 480, 16, 640, 1288, 638, 478},
               {642, 480, 16, 644, 1296, 640, 478},
               {641, 10, 32, 644, 2592, 639, 8},
               {641, 10, 8, 644, 648, 639, 8}};
  for (const auto& c : cases) {
    const DrawSurface& s = Make(c.width, c.height, c.bits);
    const Rect16 clip = s.Clip();
    EXPECT_EQ(
        (std::vector<int>{s.Width(), s.Stride(), clip.left, clip.top, clip.right, clip.bottom}),
        (std::vector<int>{c.madeWidth, c.stride, 1, 1, c.clipRight, c.clipBottom}))
        << c.width << "x" << c.height << " " << c.bits;
  }
}

TEST_F(DrawSurfaceTest, NoiseTableComesFromTheCreatingThreadsGenerator) {
  SeedRandom15(424242);  // this thread's state must not matter to a surface made elsewhere
  std::thread([] { CreateDrawSurface(16, 16, 16); }).join();
  const int16_t* noise = S().Noise().values;
  EXPECT_EQ((std::vector<int>{noise[0], noise[1], noise[2]}), (std::vector<int>{41, 18467, 6334}));
  SeedRandom15(1);  // where a fresh thread's generator starts
  for (int i = 0; i < 65536; ++i) ASSERT_EQ(noise[i], NextRandom15()) << i;
}

TEST_F(DrawSurfaceTest, PenWidthIsClampedAndStartsAtOneWithEverySurfaceTheDensityStays) {
  Make();
  SetPenWidth(33);
  EXPECT_EQ(S().PenWidth(), 32);
  SetPenWidth(0);
  EXPECT_EQ(S().PenWidth(), 1);
  SetPenWidth(5);
  SetDrawDensity(123);
  EXPECT_EQ(Make().PenWidth(), 1);
  EXPECT_EQ(DrawDensity(), 123);
}

TEST_F(DrawSurfaceTest, BlitAndReadOutShowTwoExtraRowsAboveThePicture) {
  Make(640, 480, 16);
  for (int y = -2; y < 480; ++y) *reinterpret_cast<uint16_t*>(At(3, y)) = uint16_t(y + 3);
  platform::PixelContext window = platform::CreatePixelContext();
  void* bits = nullptr;
  platform::PixelBitmap bitmap =
      platform::CreatePixelBitmap(window, {40, 700, 500, 1, 16, 0, 0, 0, 0, 0, 0}, &bits);
  ASSERT_NE(bitmap, nullptr);
  platform::SelectPixelBitmap(window, bitmap);
  auto shown = [bits](int x, int r) { return static_cast<uint16_t*>(bits)[(499 - r) * 700 + x]; };
  BlitDrawSurface(window, 0, 0, -5, 480);  // a negative size copies nothing
  BlitDrawSurface(window, 0, 0, 640, -1);
  EXPECT_EQ(shown(3, 0), 0);
  BlitDrawSurface(window, 10, 5, 640, 480);  // device row r shows picture row r - 2
  EXPECT_EQ(
      (std::vector<int>{shown(13, 4), shown(13, 5), shown(13, 7), shown(13, 484), shown(13, 485)}),
      (std::vector<int>{0, 1, 3, 480, 0}));
  platform::DeletePixelContext(window);
  platform::DeletePixelBitmap(bitmap);
  // The read-out shows the same rows, each 5-bit channel widened with its top bits.
  *reinterpret_cast<uint16_t*>(At(3, 0)) = (16 << 10) | (1 << 5) | 31;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(ReadShownPicture(640, 480, rgb));
  ASSERT_EQ(rgb.size(), 640u * 480 * 3);
  EXPECT_EQ((std::vector<int>(&rgb[(2 * 640 + 3) * 3], &rgb[(2 * 640 + 4) * 3])),
            (std::vector<int>{132, 8, 255}));
  EXPECT_FALSE(ReadShownPicture(-1, 480, rgb));
}

TEST_F(DrawSurfaceTest, PaletteColoursAn8BitPicture) {
  std::vector<uint8_t> quads(1024, 0x55), rgb;
  quads[200 * 4 + 2] = 0xAB;  // red of entry 200
  Make(64, 64, 8);
  DrawLine(5, 5, 5, 5, 200 << 8, 0, 0);
  SetDrawPalette(quads.data());
  ReadShownPicture(64, 64, rgb);
  EXPECT_EQ(rgb[((5 + 2) * 64 + 5) * 3], 0xAB);
  EXPECT_EQ(rgb[0], 0x55);  // entry 0
}

TEST_F(DrawSurfaceTest, WithoutPixelsNothingIsDrawnAndTheRefusedBitmapIsReported) {
  std::vector<uint8_t> rgb;
  EXPECT_FALSE(ReadShownPicture(10, 10, rgb));
  DrawLine(1, 1, 2, 2, 1, 1, 1);  // no surface: nothing happens
  DissolveRect(0, 0, 10, 10, 40000);
  reported.clear();
  SetDrawSurfaceErrorReporter(Record);
  // No such depth; sides beyond 16-bit rectangles (32764 wide, 32767 high at most, see below).
  for (auto [w, h, bits] : {std::array{640, 480, 7}, {32765, 5, 8}, {4, 32768, 8}}) {
    EXPECT_EQ(CreateDrawSurface(w, h, bits), 1);
    EXPECT_EQ(IsDrawSurfaceReady(), 1);
    EXPECT_EQ(S().Bits(), nullptr) << w << "x" << h;
    SeedRandom15(5);
    SetPenWidth(8);
    DrawLine(100, 100, 200, 200, 65535, 0, 0);
    DissolveRect(0, 0, 640, 480, 40000);
    EXPECT_EQ(RandomDrawsSince(5), 0);
    EXPECT_TRUE(ReadShownPicture(4, 4, rgb));
    EXPECT_EQ(rgb, std::vector<uint8_t>(48, 0));
  }
  EXPECT_EQ(reported, std::vector<std::string>(3, "PP Create DIB fail"));
  SetDrawSurfaceErrorReporter(nullptr);
  DestroyDrawSurface();
  EXPECT_EQ(IsDrawSurfaceReady(), 0);
}

TEST_F(DrawSurfaceTest, TheLargestAndSmallestSidesAreSound) {
  for (auto [w, h] : {std::pair{32764, 5}, {4, 32767}}) {
    Make(w, h, 8);
    ASSERT_NE(S().Bits(), nullptr);
    DrawLine(1, 1, w - 3, h - 3, 65535, 65535, 65535);  // to the far corner of the clip
    EXPECT_NE(Pixel(w - 3, h - 3), 0u) << w << "x" << h;
  }
  for (int size : {-100, 0, 2}) {
    const DrawSurface& s = Make(size, size, 16);
    ASSERT_NE(s.Bits(), nullptr);
    EXPECT_LT(s.Clip().right, s.Clip().left) << size;
    DrawLine(1, 1, 1, 1, 65535, 65535, 65535);
    DissolveRect(-5, -5, 5, 5, 40000);
    EXPECT_TRUE(NonZero().empty());
  }
  Make(3, 3, 16);  // clip (1, 1, 1, 1): the dissolve may clear pixel (1, 0)
  FillAll(0xFF);
  DissolveRect(0, 0, 3, 3, 40000);
  EXPECT_EQ(Zero(), (PixelSet{{1, 0}}));
}
