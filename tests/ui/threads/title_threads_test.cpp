#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "ui/text_overlays.h"

namespace {

// The notice thread replaces and shows the title while the host thread reads it: every title
// read is one of the two whole texts, never a mix of both.
TEST(TitleThreads, TheTitleReadIsAlwaysOneWholeText) {
  const std::string a(200, 'a'), b(150, 'b');
  SetTitleText(a.c_str());
  std::thread notices([&] {
    for (int i = 0; i < 2000; ++i) {
      SetTitleText(i % 2 ? a.c_str() : b.c_str());
      ShowTitle(1);
    }
  });
  for (int i = 0; i < 2000; ++i) {
    const std::string title = GetTitleText();
    ASSERT_TRUE(title == a || title == b) << title.size() << " at " << TitleClock();
  }
  notices.join();
}

}  // namespace
