// The drawing surface: memory layout, clip rectangle, pen, palette, blit and failures.
#include <string>
#include <thread>

#include "platform/pixel_memory.h"
#include "surface_fixture.h"

namespace {

class DrawSurfaceTest : public SurfaceTest {};

std::vector<std::string> reported;
void Record(const char* text) {
  reported.push_back(text);
}

}  // namespace

TEST_F(DrawSurfaceTest, LayoutOfA640x480Picture) {
  DrawSurface& s = Make(640, 480, 16);
  EXPECT_EQ(IsDrawSurfaceReady(), 1);
  EXPECT_EQ(s.Width(), 640);
  EXPECT_EQ(s.Height(), 480);
  EXPECT_EQ(s.BytesPerPixel(), 2);
  EXPECT_EQ(s.Stride(), 1288);  // 644 pixels
  const Rect16 c = s.Clip();
  EXPECT_EQ((std::vector<int>{c.left, c.top, c.right, c.bottom}),
            (std::vector<int>{1, 1, 638, 478}));
  EXPECT_EQ(s.PenWidth(), 1);
  EXPECT_NE(GetDrawSurfaceDC(), nullptr);
  EXPECT_TRUE(NonZero().empty());  // a new picture is all zero
  // Picture row 0 is the last-but-two memory row; memory row 0 holds picture row 479.
  SetPixel(5, 0, 0x1234);
  EXPECT_EQ(*reinterpret_cast<uint16_t*>(s.Bits() + 481 * 1288 - 1288 * 2 + 10), 0x1234);
  SetPixel(7, 479, 0x4321);
  EXPECT_EQ(*reinterpret_cast<uint16_t*>(s.Bits() + 14), 0x4321);
}

TEST_F(DrawSurfaceTest, WidthIsRoundedUpButTheClipComesFromTheRequest) {
  DrawSurface& s = Make(642, 480, 16);
  EXPECT_EQ(s.Width(), 644);
  EXPECT_EQ(s.Stride(), 648 * 2);
  EXPECT_EQ(s.Clip().right, 640);
  EXPECT_EQ(s.Clip().bottom, 478);
  DestroyDrawSurface();
  EXPECT_EQ(Make(641, 10, 32).Stride(), 648 * 4);
  DestroyDrawSurface();
  EXPECT_EQ(Make(641, 10, 8).Stride(), 648);
}

TEST_F(DrawSurfaceTest, NoiseTableComesFromTheCreatingThreadsGenerator) {
  SeedRandom15(1);
  SeedRandom15(424242);  // this thread's state must not matter to a surface made elsewhere
  std::thread([] { CreateDrawSurface(16, 16, 16); }).join();
  // A fresh thread starts its generator at 1: state 1 * 214013 + 2531011 gives 41 first.
  const NoiseTable& noise = S().Noise();
  EXPECT_EQ(noise.values[0], 41);
  EXPECT_EQ(noise.values[1], 18467);
  EXPECT_EQ(noise.values[2], 6334);
  SeedRandom15(1);
  for (int i = 0; i < 65536; ++i) ASSERT_EQ(noise.values[i], NextRandom15()) << i;
}

TEST_F(DrawSurfaceTest, PenWidthIsClampedAndStartsAtOneWithEverySurface) {
  DrawSurface* s = &Make();
  for (auto [asked, kept] : {std::pair{0, 1}, {-7, 1}, {33, 32}, {1000, 32}}) {
    SetPenWidth(asked);
    EXPECT_EQ(s->PenWidth(), kept) << asked;
  }
  SetDrawDensity(123);
  DestroyDrawSurface();
  s = &Make();
  EXPECT_EQ(s->PenWidth(), 1);
  EXPECT_EQ(DrawDensity(), 123);  // the density survives
}

TEST_F(DrawSurfaceTest, BlitShowsTwoExtraRowsAboveThePicture) {
  Make(640, 480, 16);
  for (int y = -2; y < 480; ++y) SetPixel(3, y, uint32_t(y + 2 + 1));  // device row r holds r+1
  platform::PixelContext window = platform::CreatePixelContext();
  platform::PixelBitmapHeader header{40, 700, 500, 1, 16, 0, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  platform::PixelBitmap bitmap = platform::CreatePixelBitmap(window, header, &bits);
  ASSERT_NE(bitmap, nullptr);
  platform::SelectPixelBitmap(window, bitmap);
  auto window_pixel = [&](int x, int r) {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(bits) + (499 - r) * 1400)[x];
  };
  BlitDrawSurface(window, 10, 5, 640, 480);
  EXPECT_EQ(window_pixel(13, 5), 1);      // picture row -2
  EXPECT_EQ(window_pixel(13, 7), 3);      // picture row 0
  EXPECT_EQ(window_pixel(13, 484), 480);  // picture row 477 is the last one shown
  EXPECT_EQ(window_pixel(13, 485), 0);
  // A negative size copies nothing.
  std::memset(bits, 0, 1400 * 500);
  BlitDrawSurface(window, 0, 0, -5, 480);
  BlitDrawSurface(window, 0, 0, 640, -1);
  for (int r = 0; r < 500; ++r) ASSERT_EQ(window_pixel(3, r), 0);
  // Edges past the int range wrap like the 16-bit values they become: x = -1 here.
  BlitDrawSurface(window, INT32_MAX, INT32_MIN, 4, 480);
  EXPECT_EQ(window_pixel(2, 1), 2);
  // ReadShownPicture decodes the same view: row 2 shows picture row 0.
  SetPixel(3, 0, 0x7C1F);
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(ReadShownPicture(640, 480, rgb));
  ASSERT_EQ(rgb.size(), 640u * 480 * 3);
  const uint8_t* p = &rgb[(2 * 640 + 3) * 3];
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{255, 0, 255}));
  SetPixel(3, 0, (16u << 10) | (1u << 5));
  ASSERT_TRUE(ReadShownPicture(640, 480, rgb));
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{132, 8, 0}));
  platform::DeletePixelContext(window);
  platform::DeletePixelBitmap(bitmap);
}

TEST_F(DrawSurfaceTest, PaletteChangesOnlyAn8BitPicture) {
  Make(64, 64, 16);
  DrawLine(5, 5, 5, 5, 65535, 65535, 65535);
  std::vector<uint8_t> before, after, quads(1024, 0x55);
  ReadShownPicture(64, 64, before);
  SetDrawPalette(quads.data());
  ReadShownPicture(64, 64, after);
  EXPECT_EQ(before, after);
  DestroyDrawSurface();
  Make(64, 64, 8);
  quads[200 * 4 + 2] = 0xAB;  // red of entry 200
  SetDrawPalette(quads.data());
  DrawLine(5, 5, 5, 5, 200 << 8, 0, 0);
  ReadShownPicture(64, 64, after);
  EXPECT_EQ(after[((5 + 2) * 64 + 5) * 3], 0xAB);
  EXPECT_EQ(after[0], 0x55);  // entry 0
}

TEST_F(DrawSurfaceTest, DestroyWithoutASurfaceOnlyClearsTheFlag) {
  DestroyDrawSurface();
  EXPECT_EQ(IsDrawSurfaceReady(), 0);
  EXPECT_EQ(CurrentDrawSurface(), nullptr);
  std::vector<uint8_t> rgb;
  EXPECT_FALSE(ReadShownPicture(10, 10, rgb));
  DrawLine(1, 1, 2, 2, 1, 1, 1);  // no surface: nothing happens
  DissolveRect(0, 0, 10, 10, 40000);
}

TEST_F(DrawSurfaceTest, RefusedBitmapIsReportedAndLeavesASurfaceThatDrawsNothing) {
  reported.clear();
  SetDrawSurfaceErrorReporter(Record);
  EXPECT_EQ(CreateDrawSurface(640, 480, 7), 1);  // no such depth
  EXPECT_EQ(reported, (std::vector<std::string>{"PP Create DIB fail"}));
  EXPECT_EQ(IsDrawSurfaceReady(), 1);
  EXPECT_EQ(S().Bits(), nullptr);
  SeedRandom15(5);
  SetPenWidth(8);
  DrawLine(100, 100, 200, 200, 65535, 0, 0);
  DissolveRect(0, 0, 640, 480, 40000);
  EXPECT_EQ(RandomDrawsSince(5), 0);
  std::vector<uint8_t> rgb;
  EXPECT_TRUE(ReadShownPicture(4, 4, rgb));
  EXPECT_EQ(rgb, std::vector<uint8_t>(48, 0));
  DestroyDrawSurface();
  EXPECT_EQ(CreateDrawSurface(100000, 480, 16), 1);  // beyond 16-bit rectangles
  EXPECT_EQ(reported.size(), 2u);
  EXPECT_EQ(S().Bits(), nullptr);
  SetDrawSurfaceErrorReporter(nullptr);
}

TEST_F(DrawSurfaceTest, TinyAndNegativeSizesMakeAnEmptyClip) {
  for (int size : {-100, -1, 0, 1, 2}) {
    DrawSurface& s = Make(size, size, 16);
    EXPECT_NE(s.Bits(), nullptr);
    EXPECT_LT(s.Clip().right, s.Clip().left) << size;
    SetPenWidth(1);
    DrawLine(0, 0, 0, 0, 65535, 65535, 65535);
    DrawLine(1, 1, 1, 1, 65535, 65535, 65535);
    DissolveRect(-5, -5, 5, 5, 40000);
    EXPECT_TRUE(NonZero().empty());
    DestroyDrawSurface();
  }
  DrawSurface& s = Make(3, 3, 16);  // clip (1, 1, 1, 1): the dissolve may clear pixel (1, 0)
  FillAll(0xFF);
  DissolveRect(0, 0, 3, 3, 40000);
  PixelSet cleared = Zero();
  EXPECT_EQ(cleared, (PixelSet{{1, 0}}));
  EXPECT_EQ(s.Width(), 4);
}
