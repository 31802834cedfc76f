// The mode filter, the mode texts and the choice of the selected mode.
#include "fullscreen/display_modes.h"

#include <gtest/gtest.h>

namespace {

class DisplayModesTest : public testing::Test {
 protected:
  void SetUp() override { ResetModeTable(); }
};

TEST_F(DisplayModesTest, KeepsOnly16BitModesUpTo1600By1200) {
  const DisplayMode offered[] = {{640, 480, 60, 32},   {640, 480, 60, 8},    {1600, 1280, 60, 16},
                                 {1920, 1200, 60, 16}, {1600, 1200, 85, 16}, {320, 200, 0, 16}};
  for (const DisplayMode& mode : offered) EXPECT_EQ(OnDisplayMode(mode), 1);
  ASSERT_EQ(ModeTable.count, 2u);
  char text[kModeTextBytes];
  EXPECT_STREQ(FormatDisplayMode(ModeTable.slots[0], text), "1600x1200, 85 Hertz");
  EXPECT_EQ(ModeTable.slots[0].bitsPerPixel, 16u);
  EXPECT_STREQ(FormatDisplayMode(ModeTable.slots[1], text), "320x200, 0 Hertz");
}

TEST_F(DisplayModesTest, AFullTableStopsTheEnumeration) {
  for (uint32_t i = 0; i < kModeTableSlots; ++i) {
    ASSERT_EQ(OnDisplayMode({640, 480, i, 16}), 1);
  }
  EXPECT_EQ(ModeTable.count, 4096u);
  EXPECT_EQ(OnDisplayMode({800, 600, 60, 16}), 0);
  EXPECT_EQ(OnDisplayMode({800, 600, 60, 32}), 0);  // stops before looking at the mode
  EXPECT_EQ(ModeTable.count, 4096u);
  EXPECT_EQ(ModeTable.slots[4095].refreshRate, 4095u);
  ResetModeTable();
  EXPECT_EQ(ModeTable.count, 0u);
  EXPECT_EQ(ModeTable.slots[4095].width, 0u);
}

TEST_F(DisplayModesTest, TextsShowSizeAndRefreshRate) {
  char text[kModeTextBytes];
  EXPECT_STREQ(FormatDisplayMode({800, 600, 75, 16}, text), "800x600, 75 Hertz");
  EXPECT_STREQ(FormatDisplayMode({4294967295u, 4294967295u, 4294967295u, 16}, text),
               "4294967295x4294967295, 4294967295 Hertz");
}

TEST_F(DisplayModesTest, SelectsTheLastModeEqualToTheChosenOneElseTheFirst) {
  DisplayDevice device{};
  device.width = 800, device.height = 600, device.refreshRate = 60, device.bitsPerPixel = 16;
  EXPECT_EQ(ChosenModeSlot(device), 0u);  // empty table
  OnDisplayMode({640, 480, 60, 16});
  OnDisplayMode({800, 600, 60, 16});
  OnDisplayMode({800, 600, 75, 16});
  OnDisplayMode({800, 600, 60, 16});
  EXPECT_EQ(ChosenModeSlot(device), 3u);
  device.refreshRate = 85;
  EXPECT_EQ(ChosenModeSlot(device), 0u);
}

}  // namespace
