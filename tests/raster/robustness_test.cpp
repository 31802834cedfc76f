// Random abuse under the sanitizers: any coordinates, pens, densities, rectangles and sizes.
// Every kernel write is checked against the bitmap by AddressSanitizer; the margin check below
// catches writes that would stay inside the allocation but outside the drawable area.
#include <chrono>

#include "surface_fixture.h"

namespace {

class Chaos {
 public:
  explicit Chaos(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  // Mostly values near the picture, sometimes any 32-bit value.
  int Coordinate(int size) {
    switch (Next() % 6) {
      case 0:
        return int32_t(uint32_t(Next()));
      case 1:
        return int(Next() % 80) - 40;
      case 2:
        return size - 40 + int(Next() % 80);
      default:
        return int(Next() % uint64_t(size + 200)) - 100;
    }
  }
  int Density() {
    static const int kDensities[] = {INT32_MIN, -1,    0,     1,     1968,  16384,
                                     32767,     32768, 65534, 65535, 70000, INT32_MAX};
    return Next() % 3 == 0 ? int32_t(uint32_t(Next())) : kDensities[Next() % 12];
  }

 private:
  uint64_t state_;
};

class RobustnessTest : public SurfaceTest {};

}  // namespace

TEST_F(RobustnessTest, MillionsOfRandomCallsStayInsideThePicture) {
  Chaos chaos(0x9E3779B97F4A7C15ull);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  long calls = 0;
  const int sizes[][2] = {{-3, -3}, {0, 0},   {1, 1},   {2, 2},   {3, 3},    {5, 4},
                          {7, 9},   {33, 17}, {64, 48}, {97, 61}, {640, 480}};
  for (int round = 0; std::chrono::steady_clock::now() < deadline || round < 60; ++round) {
    const int* size = sizes[round % 11];
    const int bits = (round / 11) % 3 == 0 ? 16 : (round / 11) % 3 == 1 ? 8 : 32;
    DrawSurface& s = Make(size[0], size[1], bits);
    // Margins that no line may touch: everything outside the clip rectangle but inside the
    // bitmap holds a marker that only the dissolve may clear.
    FillAll(0);
    const int span = std::max(s.Width(), s.Height()) + 1;
    for (int i = 0; i < 20000; ++i, ++calls) {
      switch (chaos.Next() % 8) {
        case 0:
          SetPenWidth(int(chaos.Next() % 3 == 0 ? int32_t(uint32_t(chaos.Next()))
                                                : int(chaos.Next() % 40) - 4));
          break;
        case 1:
          SetDrawDensity(chaos.Density());
          break;
        case 2:
          DissolveRect(chaos.Coordinate(span), chaos.Coordinate(span), chaos.Coordinate(span),
                       chaos.Coordinate(span), chaos.Density());
          break;
        default:
          DrawLine(chaos.Coordinate(span), chaos.Coordinate(span), chaos.Coordinate(span),
                   chaos.Coordinate(span), 65535, 65535, 65535);
          break;
      }
    }
    // No line wrote outside the clip rectangle.
    const Rect16 c = s.Clip();
    for (auto [x, y] : NonZero())
      ASSERT_TRUE(x >= c.left && x < c.right && y >= c.top && y < c.bottom)
          << x << "," << y << " on " << size[0] << "x" << size[1];
    DestroyDrawSurface();
  }
  EXPECT_GT(calls, 1000000);
}

TEST_F(RobustnessTest, SizesUpTo4096AndExtremeRequestsAreSound) {
  for (auto [w, h] : {std::pair{4096, 4096}, std::pair{4095, 1}, std::pair{1, 4096},
                      std::pair{INT32_MIN, INT32_MAX}, std::pair{INT32_MAX, INT32_MIN}}) {
    EXPECT_EQ(CreateDrawSurface(w, h, 16), 1);
    SetPenWidth(32);
    SetDrawDensity(100);
    DrawLine(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 65535, 65535, 65535);
    DrawLine(2000, 2000, INT32_MAX, INT32_MIN, 65535, 65535, 65535);
    DrawLine(2000, 2000, INT32_MIN, 2000, 65535, 65535, 65535);
    DissolveRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX);
    DissolveRect(-32768, -32768, 32767, 32767, 40000);
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(ReadShownPicture(64, 64, rgb));
    EXPECT_FALSE(ReadShownPicture(-1, 64, rgb));
    DestroyDrawSurface();
  }
}

// The clip rectangle holds 16-bit edges, so the widest picture is 32764 (its width rounds up to a
// multiple of four) and the tallest 32767; one more is refused. Lines and the dissolve reach the
// far edges of the largest ones.
TEST_F(RobustnessTest, TheLargestSidesTheClipRectangleDescribesAreMade) {
  struct Case {
    int width, height;
    bool made;
  };
  for (const Case& c :
       {Case{32764, 5, true}, Case{32765, 5, false}, Case{4, 32767, true}, Case{4, 32768, false}}) {
    ASSERT_EQ(CreateDrawSurface(c.width, c.height, 8), 1);
    DrawSurface& s = S();
    EXPECT_EQ(s.Bits() != nullptr, c.made) << c.width << "x" << c.height;
    if (!c.made) continue;
    EXPECT_EQ(s.Clip().right, c.width - 2);
    EXPECT_EQ(s.Clip().bottom, c.height - 2);
    SetPenWidth(1);
    DrawLine(1, 1, c.width - 3, c.height - 3, 65535, 65535, 65535);
    EXPECT_NE(Pixel(c.width - 3, c.height - 3), 0u);
    DissolveRect(0, 0, c.width, c.height, 40000);
    EXPECT_TRUE(NonZero().empty());
  }
}
