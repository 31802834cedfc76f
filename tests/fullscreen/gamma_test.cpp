// The gamma level's PLUS and MINUS steps and the ramp it gives.
#include "fullscreen/gamma.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

struct Presses {
  int start;
  int plus;   // presses of PLUS, then ...
  int minus;  // ... presses of MINUS
  int expected;
};

TEST(GammaLevelTest, PlusAndMinusStayWithinTheRange) {
  const Presses cases[] = {
      {256, 1, 0, 256},     {0, 0, 1, 0},       {200, 1, 0, 208},
      {200, 0, 1, 192},     {200, 6, 0, 248},   {200, 7, 0, 256},
      {200, 0, 24, 8},      {200, 0, 25, 0},    {300, 0, 0, 300},
      {300, 1, 0, 256},     {300, 0, 1, 292},   {250, 1, 0, 256},
      {5, 0, 1, 0},         {-50, 0, 1, 0},     {-50, 1, 0, -42},
      {INT_MAX, 1, 0, 256}, {INT_MIN, 0, 1, 0}, {INT_MIN, 1, 0, INT_MIN + 8},
  };
  for (const Presses& c : cases) {
    int level = c.start;
    for (int i = 0; i < c.plus; ++i) level = RaiseGammaLevel(level);
    for (int i = 0; i < c.minus; ++i) level = LowerGammaLevel(level);
    EXPECT_EQ(level, c.expected) << c.start << " +" << c.plus << " -" << c.minus;
  }
}

TEST(GammaRampTest, EveryColourIsILevelKeptTo16Bits) {
  const int levels[] = {0, 200, 256, 300, 65536 + 3, -1, INT_MIN};
  for (int level : levels) {
    GammaRamp ramp;
    std::memset(&ramp, 0xA5, sizeof(ramp));
    FillGammaRamp(level, &ramp);
    for (uint32_t i = 0; i < 256; ++i) {
      const uint16_t want = static_cast<uint16_t>(i * static_cast<uint32_t>(level));
      ASSERT_EQ(ramp.red[i], want) << "level " << level << " entry " << i;
      ASSERT_EQ(ramp.green[i], want) << "level " << level << " entry " << i;
      ASSERT_EQ(ramp.blue[i], want) << "level " << level << " entry " << i;
    }
  }
  GammaRamp ramp;
  FillGammaRamp(256, &ramp);
  EXPECT_EQ(ramp.red[255], 65280);
  FillGammaRamp(200, &ramp);
  EXPECT_EQ(ramp.green[255], 51000);
  FillGammaRamp(300, &ramp);  // 255 x 300 = 76500 wraps to 10964
  EXPECT_EQ(ramp.blue[255], 10964);
  EXPECT_EQ(ramp.blue[218], 65400);
  EXPECT_EQ(ramp.blue[219], 164);
}

TEST(GammaMessageTest, ShowsTheLevel) {
  char text[kGammaTextBytes];
  EXPECT_STREQ(FormatGammaMessage(208, text), "Gamma 208");
  EXPECT_STREQ(FormatGammaMessage(0, text), "Gamma 0");
  EXPECT_STREQ(FormatGammaMessage(INT_MIN, text), "Gamma -2147483648");
}

}  // namespace
