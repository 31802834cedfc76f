// The mode filter, the mode texts and the choice of the selected mode.
#include "fullscreen/display_modes.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayModesTest, Keeps16BitModesUpTo1600By1200AndStopsWhenFull) {
  ResetModeTable();
  const DisplayMode offered[] = {{640, 480, 60, 32},   {640, 480, 60, 8},    {1600, 1280, 60, 16},
                                 {1920, 1200, 60, 16}, {1600, 1200, 85, 16}, {320, 200, 0, 16}};
  for (const DisplayMode& mode : offered) EXPECT_EQ(OnDisplayMode(mode), 1);
  ASSERT_EQ(ModeTable.count, 2u);
  char text[kModeTextBytes];
  EXPECT_STREQ(FormatDisplayMode(ModeTable.slots[0], text), "1600x1200, 85 Hertz");
  EXPECT_STREQ(FormatDisplayMode(ModeTable.slots[1], text), "320x200, 0 Hertz");
  EXPECT_STREQ(FormatDisplayMode({4294967295u, 4294967295u, 4294967295u, 16}, text),
               "4294967295x4294967295, 4294967295 Hertz");
  while (ModeTable.count < kModeTableSlots) ASSERT_EQ(OnDisplayMode({640, 480, 60, 16}), 1);
  EXPECT_EQ(OnDisplayMode({800, 600, 60, 32}), 0);  // full: stops before looking at the mode
  EXPECT_EQ(ModeTable.count, 4096u);
}

TEST(DisplayModesTest, SelectsTheLastModeEqualToTheChosenOneElseTheFirst) {
  ResetModeTable();
  DisplayDevice device{};
  device.width = 800, device.height = 600, device.refreshRate = 60, device.bitsPerPixel = 16;
  EXPECT_EQ(ChosenModeSlot(device), 0u);  // empty table
  for (uint32_t refresh : {60u, 75u, 60u, 85u}) OnDisplayMode({800, 600, refresh, 16});
  EXPECT_EQ(ChosenModeSlot(device), 2u);
  device.refreshRate = 70;
  EXPECT_EQ(ChosenModeSlot(device), 0u);
  device.refreshRate = 85, device.width = 640;
  EXPECT_EQ(ChosenModeSlot(device), 0u);
}

}  // namespace
