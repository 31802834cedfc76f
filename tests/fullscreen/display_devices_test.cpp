// The device list built from made-up enumerations, its look-ups, copies and out of memory.
#include "fullscreen/display_devices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

DeviceGuid Guid(uint32_t data1) {
  return DeviceGuid{data1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
}

void* Monitor(uintptr_t n) {
  return reinterpret_cast<void*>(n);
}

std::vector<std::string> Descriptions() {
  std::vector<std::string> names;
  for (DisplayDevice* d = DisplayDeviceList; d; d = d->next) names.push_back(d->description);
  return names;
}

// Lets `allowed` allocations through, then fails.
int allowedAllocations = 0;
void* LimitedAllocate(size_t bytes) {
  if (allowedAllocations <= 0) return nullptr;
  --allowedAllocations;
  return std::malloc(bytes);
}

class DisplayDevicesTest : public testing::Test {
 protected:
  void TearDown() override {
    SetDeviceAllocator(nullptr);
    FreeDeviceList(DisplayDeviceList);
    DisplayDeviceList = nullptr;
  }
  DeviceEnumerationContext context_;
};

TEST_F(DisplayDevicesTest, OneReportedDeviceIsThePrimaryDriverEntry) {
  EXPECT_EQ(OnDisplayDevice(nullptr, "Primary Display Driver", "display", &context_, Monitor(7)),
            1);
  ASSERT_NE(DisplayDeviceList, nullptr);
  const DisplayDevice& d = *DisplayDeviceList;
  EXPECT_TRUE(SameGuid(d.guid, DeviceGuid{}));
  EXPECT_STREQ(d.description, "Primary Display Driver");
  EXPECT_EQ(d.monitor, Monitor(7));
  EXPECT_EQ(d.refreshRate, 60u);
  EXPECT_EQ(d.width, 640u);
  EXPECT_EQ(d.height, 480u);
  EXPECT_EQ(d.bitsPerPixel, 16u);
  EXPECT_EQ(d.next, nullptr);
  EXPECT_EQ(context_.result, 0);
}

TEST_F(DisplayDevicesTest, SeveralDevicesReplaceThePrimaryDriverEntry) {
  DeviceGuid a = Guid(1), b = Guid(2);
  OnDisplayDevice(nullptr, "Primary", "display", &context_, nullptr);
  OnDisplayDevice(&a, "First", "\\\\.\\DISPLAY1", &context_, Monitor(1));
  OnDisplayDevice(&b, "Second", "\\\\.\\DISPLAY2", &context_, Monitor(2));
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(FindDeviceByGuid(b), DisplayDeviceList->next);
  EXPECT_EQ(FindDeviceByGuid(DeviceGuid{}), nullptr);
  EXPECT_EQ(FindDeviceByMonitor(Monitor(2)), DisplayDeviceList->next);
  EXPECT_EQ(FindDeviceByMonitor(Monitor(3)), nullptr);
  EXPECT_EQ(FindDeviceByMonitor(nullptr), nullptr);
  // Only a leading primary entry goes: one reported later stays at the end.
  OnDisplayDevice(nullptr, "Late primary", "display", &context_, nullptr);
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"First", "Second", "Late primary"}));
  EXPECT_EQ(FindDeviceByMonitor(nullptr)->description, std::string("Late primary"));
  // Two matching entries give the first.
  OnDisplayDevice(&b, "Second again", "", &context_, Monitor(2));
  EXPECT_EQ(FindDeviceByGuid(b), DisplayDeviceList->next);
  EXPECT_EQ(FindDeviceByMonitor(Monitor(2)), DisplayDeviceList->next);
}

TEST_F(DisplayDevicesTest, LongDescriptionsAreCutTo199Characters) {
  std::string text(500, 'x');
  OnDisplayDevice(nullptr, text.c_str(), "", &context_, nullptr);
  EXPECT_EQ(std::string(DisplayDeviceList->description), std::string(199, 'x'));
  OnDisplayDevice(nullptr, nullptr, nullptr, &context_, nullptr);
  EXPECT_STREQ(DisplayDeviceList->description, "");
}

int32_t ReportTwoDevices(DeviceEnumerationContext* context) {
  DeviceGuid a = Guid(1), b = Guid(2);
  if (!OnDisplayDevice(&a, "A", "", context, nullptr)) return 0;
  OnDisplayDevice(&b, "B", "", context, nullptr);
  return 0;
}

int32_t ReportOneThenFail(DeviceEnumerationContext* context) {
  DeviceGuid a = Guid(1);
  OnDisplayDevice(&a, "A", "", context, nullptr);
  return static_cast<int32_t>(0x88760091);
}

TEST_F(DisplayDevicesTest, EnumerationBuildsTheListOnceAndKeepsTheDevicesBeforeAFailure) {
  EXPECT_EQ(EnumerateDisplayDevicesWith(ReportTwoDevices), 0);
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(EnumerateDisplayDevicesWith(ReportOneThenFail), 0);  // a list exists: not called
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"A", "B"}));

  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
  EXPECT_EQ(EnumerateDisplayDevicesWith(ReportOneThenFail), static_cast<int32_t>(0x88760091));
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"A"}));
}

TEST_F(DisplayDevicesTest, OutOfMemoryStopsTheEnumeration) {
  allowedAllocations = 1;
  SetDeviceAllocator(LimitedAllocate);
  EXPECT_EQ(EnumerateDisplayDevicesWith(ReportTwoDevices), kOutOfMemory);
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"A"}));

  DeviceEnumerationContext context;
  DeviceGuid c = Guid(3);
  EXPECT_EQ(OnDisplayDevice(&c, "C", "", &context, nullptr), 0);
  EXPECT_EQ(context.result, static_cast<int32_t>(0x8007000E));
}

TEST_F(DisplayDevicesTest, CopiesAreEqualAndIndependent) {
  EnumerateDisplayDevicesWith(ReportTwoDevices);
  DisplayDeviceList->width = 1024;
  DisplayDevice* copy = CopyDeviceList(DisplayDeviceList);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->next, nullptr);
  EXPECT_EQ(copy->next->next, nullptr);
  EXPECT_NE(copy, DisplayDeviceList);
  EXPECT_EQ(std::memcmp(copy, DisplayDeviceList, offsetof(DisplayDevice, next)), 0);
  EXPECT_STREQ(copy->next->description, "B");
  copy->width = 800;
  EXPECT_EQ(DisplayDeviceList->width, 1024u);
  FreeDeviceList(copy);

  allowedAllocations = 1;
  SetDeviceAllocator(LimitedAllocate);
  EXPECT_EQ(CopyDeviceList(DisplayDeviceList), nullptr);  // the half copy is freed (ASan sees)
}

TEST_F(DisplayDevicesTest, WithoutDirectDrawNoDeviceIsReportedAndNothingIsFound) {
  EXPECT_EQ(EnumerateDisplayDevices(), 0);
  EXPECT_EQ(DisplayDeviceList, nullptr);
  EXPECT_EQ(MonitorOfWindow(nullptr, kMonitorDefaultToPrimary), nullptr);
  EXPECT_EQ(FindDeviceByGuid(DeviceGuid{}), nullptr);
  EXPECT_EQ(FindDeviceByMonitor(nullptr), nullptr);
  EXPECT_EQ(CopyDeviceList(nullptr), nullptr);
}

}  // namespace
