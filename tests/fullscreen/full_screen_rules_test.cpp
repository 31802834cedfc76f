// The full-screen output's portable rules: the device list built from made-up enumerations
// (look-ups, copies, out of memory), the mode filter, texts and choice, and the gamma level's
// steps, ramp and message.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "fullscreen/display_devices.h"
#include "fullscreen/display_modes.h"
#include "fullscreen/gamma.h"

namespace {

const DeviceGuid kA{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}, kB{2, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
void* const kMonitorB = reinterpret_cast<void*>(2);

// The list as "description/width x height@refresh/bits " per record.
std::string Listed(const DisplayDevice* list = DisplayDeviceList) {
  std::string text;
  for (; list; list = list->next)
    text += std::string(list->description) + "/" + std::to_string(list->width) + "x" +
            std::to_string(list->height) + "@" + std::to_string(list->refreshRate) + "/" +
            std::to_string(list->bitsPerPixel) + " ";
  return text;
}

// Lets `allowed` records be made, then fails.
int allowed = 0;
void* Limited(size_t bytes) {
  return allowed-- > 0 ? std::malloc(bytes) : nullptr;
}

// A made-up enumeration: reports A, then (unless it fails) B.
int32_t failure = 0;
int32_t Report(DeviceEnumerationContext* context) {
  if (OnDisplayDevice(&kA, "A", "", context, nullptr) && !failure)
    OnDisplayDevice(&kB, "B", "", context, kMonitorB);
  return failure;
}

struct DisplayDevicesTest : testing::Test {
  void TearDown() override {
    SetDeviceAllocator(nullptr);
    FreeDeviceList(DisplayDeviceList);
    DisplayDeviceList = nullptr;
  }
};

TEST_F(DisplayDevicesTest, ThePrimaryDriverEntryStandsForTheDisplayUntilADeviceIsReported) {
  DeviceEnumerationContext context;
  EXPECT_EQ(OnDisplayDevice(nullptr, "Primary Display Driver", "display", &context, nullptr), 1);
  EXPECT_EQ(Listed(), "Primary Display Driver/640x480@60/16 ");
  OnDisplayDevice(&kA, std::string(500, 'x').c_str(), "", &context, nullptr);
  OnDisplayDevice(&kB, nullptr, nullptr, &context, kMonitorB);
  OnDisplayDevice(nullptr, "Late primary", "display", &context, nullptr);  // stays at the end
  EXPECT_EQ(Listed(),
            std::string(199, 'x') + "/640x480@60/16 /640x480@60/16 Late primary/640x480@60/16 ");
  EXPECT_EQ(FindDeviceByGuid(kB), DisplayDeviceList->next);
  EXPECT_EQ(FindDeviceByMonitor(kMonitorB), DisplayDeviceList->next);
  EXPECT_EQ(FindDeviceByMonitor(reinterpret_cast<void*>(3)), nullptr);
}

TEST_F(DisplayDevicesTest, TheListIsBuiltOnceAndKeepsTheDevicesBeforeAFailure) {
  failure = static_cast<int32_t>(0x88760091);
  EXPECT_EQ(EnumerateDisplayDevicesWith(Report), failure);
  failure = 0;
  EXPECT_EQ(EnumerateDisplayDevicesWith(Report), 0);  // a list exists: not called
  EXPECT_EQ(Listed(), "A/640x480@60/16 ");
}

TEST_F(DisplayDevicesTest, CopiesAreEqualAndIndependentAndOutOfMemoryLeavesNothingHalfMade) {
  EnumerateDisplayDevicesWith(Report);
  DisplayDeviceList->width = 1024;
  DisplayDevice* copy = CopyDeviceList(DisplayDeviceList);
  copy->width = 800;
  EXPECT_EQ(Listed(copy) + Listed(),
            "A/800x480@60/16 B/640x480@60/16 A/1024x480@60/16 B/640x480@60/16 ");
  EXPECT_TRUE(SameGuid(copy->next->guid, kB) && copy->next->monitor == kMonitorB);
  FreeDeviceList(copy);
  allowed = 1;
  SetDeviceAllocator(Limited);
  EXPECT_EQ(CopyDeviceList(DisplayDeviceList), nullptr);  // the half copy is freed (ASan sees)
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  allowed = 1;
  EXPECT_EQ(EnumerateDisplayDevicesWith(Report), kOutOfMemory);
  EXPECT_EQ(Listed(), "A/640x480@60/16 ");
}

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
  device.width = 640;
  EXPECT_EQ(ChosenModeSlot(device), 0u);
}

TEST(GammaTest, PlusAndMinusStayWithinTheRange) {
  // Level, presses of PLUS, then of MINUS, level after. Levels outside 0..256 come from a
  // hand-edited settings file.
  std::tuple<int, int, int, int> cases[] = {
      {200, 1, 0, 208}, {200, 0, 1, 192},     {200, 7, 0, 256},  {200, 0, 25, 0},  {256, 1, 0, 256},
      {250, 1, 0, 256}, {0, 0, 1, 0},         {5, 0, 1, 0},      {300, 1, 0, 256}, {300, 0, 1, 292},
      {-50, 1, 0, -42}, {INT_MAX, 1, 0, 256}, {INT_MIN, 0, 1, 0}};
  for (auto [level, plus, minus, want] : cases) {
    for (int i = 0; i < plus; ++i) level = RaiseGammaLevel(level);
    for (int i = 0; i < minus; ++i) level = LowerGammaLevel(level);
    EXPECT_EQ(level, want) << "+" << plus << " -" << minus;
  }
}

TEST(GammaTest, TheRampIsILevelKeptTo16BitsInEveryColour) {
  // Level, entry, value: a level above 256 wraps, 255 x 300 = 76500 becomes 10964.
  std::tuple<int, int, uint16_t> cases[] = {
      {256, 255, 65280}, {200, 255, 51000}, {200, 128, 25600}, {300, 218, 65400}, {300, 219, 164},
      {300, 255, 10964}, {300, 0, 0},       {-1, 1, 65535},    {INT_MIN, 255, 0}};
  for (auto [level, entry, value] : cases) {
    GammaRamp ramp;
    std::memset(&ramp, 0xA5, sizeof(ramp));
    FillGammaRamp(level, &ramp);
    const auto entries = std::tuple(ramp.red[entry], ramp.green[entry], ramp.blue[entry]);
    EXPECT_EQ(entries, std::tuple(value, value, value)) << level << " " << entry;
  }
  char text[kGammaTextBytes];
  EXPECT_STREQ(FormatGammaMessage(208, text), "Gamma 208");
  EXPECT_STREQ(FormatGammaMessage(INT_MIN, text), "Gamma -2147483648");
}

}  // namespace
