// The drawing surface: layout, clip rectangle, noise and refused bitmaps.
#include <array>
#include <string>
#include <thread>
#include <vector>

#include "raster/shown_picture.h"
#include "surface_fixture.h"

using DrawSurfaceTest = SurfaceTest;

namespace {

std::vector<std::string> reported;
void Record(const char* text) {
  reported.push_back(text);
}

}  // namespace

TEST_F(DrawSurfaceTest, WidthRoundsUpToFourButTheClipComesFromTheRequest) {
  for (auto [width, height, bits, stride, clipRight, clipBottom] :
       {std::array{642, 480, 16, 648 * 2, 640, 478}, {641, 10, 32, 648 * 4, 639, 8}}) {
    const DrawSurface& s = Make(width, height, bits);
    const Rect16 clip = s.Clip();
    EXPECT_EQ(
        (std::vector<int>{s.Width(), s.Stride(), clip.left, clip.top, clip.right, clip.bottom}),
        (std::vector<int>{644, stride, 1, 1, clipRight, clipBottom}));
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

// The clip rectangle holds 16-bit edges: 32764 (a multiple of four) is the widest picture and
// 32767 the tallest. Without pixels nothing is drawn, the read-out is black, and the failure
// is reported; without a surface nothing happens at all.
TEST_F(DrawSurfaceTest, TheLargestSidesAreDrawnToTheirEdgesBitmapsBeyondAreRefused) {
  std::vector<uint8_t> rgb;
  EXPECT_FALSE(ReadShownPicture(10, 10, rgb));
  DrawLine(1, 1, 2, 2, 1, 1, 1);
  DissolveRect(0, 0, 10, 10, 40000);
  reported.clear();
  SetDrawSurfaceErrorReporter(Record);
  for (auto [w, h, bits, made] : {std::array{32764, 5, 8, 1},
                                  {4, 32767, 8, 1},
                                  {32765, 5, 8, 0},
                                  {4, 32768, 8, 0},
                                  {640, 480, 7, 0}}) {
    EXPECT_EQ(CreateDrawSurface(w, h, bits), 1);
    EXPECT_EQ(IsDrawSurfaceReady(), 1);
    SeedRandom15(5);
    DrawLine(1, 1, w - 3, h - 3, 65535, 65535, 65535);  // to the far corner of the clip
    DissolveRect(0, 0, 2, 2, 0);
    EXPECT_EQ(RandomDrawsSince(5), made ? 3 : 0) << w << "x" << h << " at " << bits;
    EXPECT_TRUE(ReadShownPicture(4, 4, rgb));
    // Made: the line reached the far corner. Refused: the read-out is black.
    EXPECT_TRUE(made ? Pixel(w - 3, h - 3) != 0 : rgb == std::vector<uint8_t>(48, 0));
  }
  EXPECT_EQ(reported, std::vector<std::string>(3, "PP Create DIB fail"));
  SetDrawSurfaceErrorReporter(nullptr);
}
