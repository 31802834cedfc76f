// Titles and overlays on the front end's pictures: UTF-8 drawn a character at a time with the
// system's font, a box for what no font has, and the plug-in's overlays where it puts them.
#include <gtest/gtest.h>

#include "pipeline/requests.h"
#include "text/text_overlays.h"
#include "text/text_painter.h"
#include "ui/overlay_commands.h"
#include "ui/text_overlays.h"

namespace vevirur {
namespace {

bool AnyInk(Picture& p, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (p.pixel(x, y)[0] || p.pixel(x, y)[1] || p.pixel(x, y)[2]) return true;
  return false;
}

TEST(TextPainter, DrawsCharactersNotBytesAndBoxesWhatNoFontHas) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"Bj\xc3\xb6rk \xe2\x80\x94 \xf0\x9f\x8e\xb5", U"Björk — \U0001F3B5"},
      {"a\xff\xc3", U"a\uFFFD\uFFFD"},                              // stray byte, cut sequence
      {"\xc0\xaf\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, surrogate
  };
  for (const auto& [utf8, expected] : cases) EXPECT_EQ(DecodeUtf8(utf8), expected);
  TextPainter& painter = OverlayTextPainter();
  EXPECT_EQ(painter.Measure("\xc3\xb6").width, painter.Measure("o").width);  // one letter
  EXPECT_EQ(painter.Measure("Jóga").height, 16);
  // U+10FFFD (private use) is in no font: a hollow box of exact ink, empty inside.
  Picture q(40, 20);
  const std::string missing = "\xf4\x8f\xbf\xbd";
  painter.Draw(q, 0, 0, missing, {10, 20, 30});
  int outline = 0;
  for (int y = 0; y < 16; ++y) outline += q.pixel(1, y)[0] == 10 && q.pixel(1, y)[2] == 30;
  EXPECT_GE(outline, 8);
  EXPECT_FALSE(AnyInk(q, 2, 8, painter.Measure(missing).width - 2, 9));
  // Clipped at every edge; a background fills the line box.
  const TextColour grey{128, 128, 128};
  painter.Draw(q, 30, 10, "WWWW", {1, 2, 3}, &grey);
  painter.Draw(q, -100, -100, "x", {1, 2, 3});
  EXPECT_EQ(q.pixel(39, 10)[0], 128);  // the line box's top row, above the letters
}

TEST(TextOverlays, TitleHelpMessageAndAboutLandWhereThePlugInPutsThem) {
  std::string title(254, 'a');
  SetOverlayTitle(title + "\xc3\xb6\xc3\xb6");  // "öö": the 255-byte cut would split the first
  EXPECT_EQ(GetTitleText(), title);
  SetOverlayTitle("Björk — Jóga");
  ShowTitle(1);
  ToggleHelp();
  Picture p(640, 360);
  PaintFrameOverlaysOn(p);
  EXPECT_TRUE(AnyInk(p, 15, 340, 200, 356));  // the title, 20 pixels above the bottom
  EXPECT_TRUE(AnyInk(p, 5, 105, 200, 121));   // "Keyboard shortcuts:"
  EXPECT_TRUE(AnyInk(p, 20, 305, 400, 321));  // the eleventh help line
  EXPECT_FALSE(AnyInk(p, 25, 30, 73, 45));    // no logo over a playing picture
  ToggleEffectLock();
  Picture q(640, 360);
  PaintMessageOn(q);
  const int w = OverlayTextPainter().Measure("Effect locked").width;
  EXPECT_TRUE(AnyInk(q, 640 - w - 5, 344, 635, 360));
  EXPECT_FALSE(AnyInk(q, 0, 0, 640 - w - 5, 360));
  Picture about(320, 200);
  PaintAboutScreenOn(about, true);
  EXPECT_TRUE(AnyInk(about, 25, 30, 73, 78));  // the logo
  EXPECT_TRUE(AnyInk(about, 85, 25, 320, 81));
  ResetTextOverlays();
  Requests.EffectLocked = 0;
}

}  // namespace
}  // namespace vevirur
