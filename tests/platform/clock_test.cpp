#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

class FixedClock : public platform::TimeSource {
 public:
  uint32_t Now() override { return now; }
  void Sleep(uint32_t ms) override { now += ms; }
  uint32_t now = 0xFFFFFFF0u;
};

TEST(Clock, InstalledSourceReplacesTheSystemClockUntilRemoved) {
  FixedClock fixed;
  platform::SetTimeSource(&fixed);
  EXPECT_EQ(platform::TickCount(), 0xFFFFFFF0u);
  platform::SleepMilliseconds(32);
  EXPECT_EQ(platform::TickCount(), 0x10u);  // wrapped, as GetTickCount does
  platform::SetTimeSource(nullptr);

  const uint32_t before = platform::TickCount();
  platform::SleepMilliseconds(20);
  EXPECT_GE(uint32_t(platform::TickCount() - before), 19u);
}

}  // namespace
