// The gamma level's PLUS and MINUS steps, the ramp it gives and its message.
#include "fullscreen/gamma.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <tuple>

namespace {

TEST(GammaTest, PlusAndMinusStayWithinTheRange) {
  // Level, presses of PLUS, then of MINUS, level after. Levels outside 0..256 come from a
  // hand-edited settings file.
  std::tuple<int, int, int, int> cases[] = {
      {200, 1, 0, 208}, {200, 0, 1, 192},     {200, 7, 0, 256},  {200, 0, 25, 0},  {256, 1, 0, 256},
      {250, 1, 0, 256}, {0, 0, 1, 0},         {5, 0, 1, 0},      {300, 1, 0, 256}, {300, 0, 1, 292},
      {-50, 1, 0, -42}, {INT_MAX, 1, 0, 256}, {INT_MIN, 0, 1, 0}};
  for (auto [level, plus, minus, want] : cases) {
    const int start = level;
    for (int i = 0; i < plus; ++i) level = RaiseGammaLevel(level);
    for (int i = 0; i < minus; ++i) level = LowerGammaLevel(level);
    EXPECT_EQ(level, want) << start << " +" << plus << " -" << minus;
  }
}

TEST(GammaTest, TheRampIsILevelKeptTo16BitsInEveryColour) {
  // Level, entry, value: a level above 256 wraps, 255 x 300 = 76500 becomes 10964.
  std::tuple<int, int, uint16_t> cases[] = {
      {256, 255, 65280}, {256, 1, 256},   {200, 255, 51000}, {200, 128, 25600}, {0, 255, 0},
      {300, 218, 65400}, {300, 219, 164}, {300, 255, 10964}, {-1, 1, 65535},    {INT_MIN, 255, 0}};
  for (auto [level, entry, value] : cases) {
    GammaRamp ramp;
    std::memset(&ramp, 0xA5, sizeof(ramp));
    FillGammaRamp(level, &ramp);
    EXPECT_EQ(ramp.red[0], 0);
    EXPECT_EQ(std::tuple(ramp.red[entry], ramp.green[entry], ramp.blue[entry]),
              std::tuple(value, value, value))
        << level << " " << entry;
  }
  char text[kGammaTextBytes];
  EXPECT_STREQ(FormatGammaMessage(208, text), "Gamma 208");
  EXPECT_STREQ(FormatGammaMessage(INT_MIN, text), "Gamma -2147483648");
}

}  // namespace
