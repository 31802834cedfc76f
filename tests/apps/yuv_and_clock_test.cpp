#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "pictures_out/yuv_convert.h"
#include "render/virtual_clock.h"

namespace vevirur {
namespace {

TEST(YuvConvert, BlackWhiteAndRedInLimitedRange) {
  Picture p(4, 2);
  for (int x = 2; x < 4; ++x)
    for (int y = 0; y < 2; ++y) {
      p.pixel(x, y)[0] = 255;
      p.pixel(x, y)[1] = x == 3 ? 255 : 0;
      p.pixel(x, y)[2] = x == 3 ? 255 : 0;
    }
  std::vector<uint8_t> yuv;
  ConvertToYuv420(p, yuv);
  ASSERT_EQ(yuv.size(), 12u);
  EXPECT_EQ(yuv[0], 16);   // black
  EXPECT_EQ(yuv[3], 235);  // white
  EXPECT_EQ(yuv[2], 82);   // red
  EXPECT_EQ(yuv[8], 128);  // chroma of the black block
  EXPECT_EQ(yuv[10], 128);
  EXPECT_GT(yuv[11], 128);  // the red-and-white block leans red
}

// A thread that sleeps in steps sees exactly the times the driver gives it, however the two
// threads are scheduled.
TEST(VirtualClock, SleeperSeesTheDriversTimesOnly) {
  VirtualClock clock(100);
  std::vector<uint32_t> seen;
  clock.SetSleeperRunning(true);
  std::thread sleeper([&] {
    for (int i = 0; i < 5; ++i) {
      seen.push_back(clock.Now());
      clock.Sleep(i + 1);
    }
    clock.Release();
  });
  clock.WaitUntilQuiescent();
  for (int i = 0; i < 20; ++i) clock.AdvanceOneMillisecond();
  sleeper.join();
  EXPECT_EQ(seen, (std::vector<uint32_t>{100, 101, 103, 106, 110}));
}

TEST(VirtualClock, DriverSleepAdvancesTime) {
  VirtualClock clock(0xFFFFFFFEu);  // across the 32-bit wrap
  clock.Sleep(5);
  EXPECT_EQ(clock.Now(), 3u);
}

}  // namespace
}  // namespace vevirur
