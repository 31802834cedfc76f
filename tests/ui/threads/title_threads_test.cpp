#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "ui/text_overlays.h"

namespace {

class TitleOnly : public OverlayPainter {
 public:
  std::string last;
  OverlayExtent MeasureText(const char*) override { return {}; }
  void DrawText(int, int, const char* text, OverlayColour, const OverlayColour*) override {
    last = text;
  }
  void FillBlack(const PictureRect&) override {}
  void DrawLogo(int, int) override {}
};

// The notice thread replaces the title while the host thread paints: every painted title is
// one of the two whole texts, never a mix of both.
TEST(TitleThreads, APaintedTitleIsAlwaysOneWholeText) {
  const std::string a(200, 'a'), b(150, 'b');
  ResetTextOverlays();
  SetTitleText(a.c_str());
  ShowTitle(1);
  std::thread notices([&] {
    for (int i = 0; i < 2000; ++i) {
      SetTitleText(i % 2 ? a.c_str() : b.c_str());
      ShowTitle(1);
    }
  });
  TitleOnly painter;
  for (int i = 0; i < 2000; ++i) {
    PaintTitleOverlay(painter, PictureRect{0, 0, 100, 100});
    ASSERT_TRUE(painter.last == a || painter.last == b) << painter.last.size();
  }
  notices.join();
  ResetTextOverlays();
}

}  // namespace
