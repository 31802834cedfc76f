// The device list built from made-up enumerations, its look-ups, copies and out of memory.
#include "fullscreen/display_devices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const DeviceGuid kA{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}, kB{2, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
void* const kMonitorA = reinterpret_cast<void*>(1);
void* const kMonitorB = reinterpret_cast<void*>(2);

// The list as "description/width x height@refresh/bits" lines.
std::string Listed(const DisplayDevice* list = DisplayDeviceList) {
  std::string text;
  for (const DisplayDevice* d = list; d; d = d->next) {
    text += std::string(d->description) + "/" + std::to_string(d->width) + "x" +
            std::to_string(d->height) + "@" + std::to_string(d->refreshRate) + "/" +
            std::to_string(d->bitsPerPixel) + " ";
  }
  return text;
}

// Lets `allowed` records be made, then fails.
int allowed = 0;
void* Limited(size_t bytes) {
  return allowed-- > 0 ? std::malloc(bytes) : nullptr;
}

int32_t ReportTwo(DeviceEnumerationContext* context) {
  if (OnDisplayDevice(&kA, "A", "", context, kMonitorA))
    OnDisplayDevice(&kB, "B", "", context, kMonitorB);
  return 0;
}

int32_t ReportOneThenFail(DeviceEnumerationContext* context) {
  OnDisplayDevice(&kA, "A", "", context, nullptr);
  return static_cast<int32_t>(0x88760091);
}

class DisplayDevicesTest : public testing::Test {
 protected:
  void TearDown() override {
    SetDeviceAllocator(nullptr);
    FreeDeviceList(DisplayDeviceList);
    DisplayDeviceList = nullptr;
  }
};

TEST_F(DisplayDevicesTest, ThePrimaryDriverEntryStandsForTheDisplayUntilADeviceIsReported) {
  DeviceEnumerationContext context;
  EXPECT_EQ(OnDisplayDevice(nullptr, "Primary Display Driver", "display", &context, kMonitorA), 1);
  EXPECT_EQ(Listed(), "Primary Display Driver/640x480@60/16 ");
  EXPECT_EQ(FindDeviceByGuid(DeviceGuid{}), DisplayDeviceList);
  OnDisplayDevice(&kA, std::string(500, 'x').c_str(), "", &context, kMonitorA);
  OnDisplayDevice(&kB, nullptr, nullptr, &context, kMonitorB);
  OnDisplayDevice(nullptr, "Late primary", "display", &context, nullptr);  // stays at the end
  EXPECT_EQ(Listed(),
            std::string(199, 'x') + "/640x480@60/16 /640x480@60/16 Late primary/640x480@60/16 ");
  EXPECT_EQ(FindDeviceByGuid(kB), DisplayDeviceList->next);
  EXPECT_EQ(FindDeviceByMonitor(kMonitorB), DisplayDeviceList->next);
  EXPECT_EQ(FindDeviceByMonitor(reinterpret_cast<void*>(3)), nullptr);
  EXPECT_EQ(context.result, 0);
}

TEST_F(DisplayDevicesTest, TheListIsBuiltOnceAndKeepsTheDevicesBeforeAFailure) {
  EXPECT_EQ(EnumerateDisplayDevicesWith(ReportOneThenFail), static_cast<int32_t>(0x88760091));
  EXPECT_EQ(Listed(), "A/640x480@60/16 ");
  EXPECT_EQ(EnumerateDisplayDevicesWith(ReportTwo), 0);  // a list exists: not called
  EXPECT_EQ(Listed(), "A/640x480@60/16 ");
}

TEST_F(DisplayDevicesTest, CopiesAreEqualAndIndependentAndOutOfMemoryLeavesNothingHalfMade) {
  EnumerateDisplayDevicesWith(ReportTwo);
  DisplayDeviceList->width = 1024;
  DisplayDevice* copy = CopyDeviceList(DisplayDeviceList);
  EXPECT_EQ(Listed(copy), "A/1024x480@60/16 B/640x480@60/16 ");
  EXPECT_TRUE(copy != DisplayDeviceList && SameGuid(copy->next->guid, kB) &&
              copy->next->monitor == kMonitorB);
  copy->width = 800;
  EXPECT_EQ(DisplayDeviceList->width, 1024u);
  FreeDeviceList(copy);
  allowed = 1;
  SetDeviceAllocator(Limited);
  EXPECT_EQ(CopyDeviceList(DisplayDeviceList), nullptr);  // the half copy is freed (ASan sees)
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  allowed = 1;
  EXPECT_EQ(EnumerateDisplayDevicesWith(ReportTwo), kOutOfMemory);
  EXPECT_EQ(Listed(), "A/640x480@60/16 ");
}

}  // namespace
