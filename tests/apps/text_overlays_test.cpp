#include "text/text_overlays.h"

#include <gtest/gtest.h>

#include "text/text_painter.h"

namespace vevirur {
namespace {

bool AnyInk(const Picture& p, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* px = p.rgb.data() + (size_t(y) * p.width + x) * 3;
      if (px[0] || px[1] || px[2]) return true;
    }
  return false;
}

TEST(TextPainter, DecodesUtf8AndReplacesMalformedBytes) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"Bj\xc3\xb6rk \xe2\x80\x94", U"Björk —"},
      {"\xf0\x9f\x8e\xb5", U"\U0001F3B5"},
      {"a\xff\xc3", U"a\uFFFD\uFFFD"},                              // stray byte, cut sequence
      {"\xc0\xaf\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, surrogate
  };
  for (const auto& [utf8, expected] : cases) EXPECT_EQ(DecodeUtf8(utf8), expected);
}

TEST(TextPainter, DrawsCharactersNotBytesAndBoxesWhatNoFontHas) {
  TextPainter& painter = OverlayTextPainter();
  // One glyph per character: "ö" is one letter wide, not two '?'.
  EXPECT_EQ(painter.Measure("\xc3\xb6").width, painter.Measure("o").width);
  EXPECT_EQ(painter.Measure("Jóga").height, 16);
  Picture p(200, 20);
  painter.Draw(p, 0, 0, "Björk — Jóga", {255, 255, 255});
  EXPECT_TRUE(AnyInk(p, 0, 0, painter.Measure("Björk").width, 16));
  // U+10FFFD (private use) is in no font: a hollow box of exact ink, empty inside.
  Picture q(40, 20);
  const std::string missing = "\xf4\x8f\xbf\xbd";
  painter.Draw(q, 0, 0, missing, {10, 20, 30});
  const int w = painter.Measure(missing).width;
  int outline = 0;
  for (int y = 0; y < 16; ++y) outline += q.pixel(1, y)[0] == 10 && q.pixel(1, y)[2] == 30;
  EXPECT_GE(outline, 8);
  EXPECT_FALSE(AnyInk(q, 2, 8, w - 2, 9));
  // Clipped at every edge; a background fills the line box.
  const TextColour grey{128, 128, 128};
  painter.Draw(q, 30, 10, "WWWW", {1, 2, 3}, &grey);
  painter.Draw(q, -100, -100, "x", {1, 2, 3});
  EXPECT_EQ(q.pixel(39, 10)[0], 128);  // the line box's top row, above the letters
}

TEST(TextOverlays, TitleShowsForTenSeconds) {
  TextOverlays o;
  o.SetTitle("Song");
  o.ShowTitle(true, 5000);
  Picture p(200, 100);
  o.DrawOnPicture(p, 15000);
  EXPECT_TRUE(AnyInk(p, 15, 80, 200, 100));
  Picture q(200, 100);
  o.DrawOnPicture(q, 15001);
  EXPECT_FALSE(AnyInk(q, 0, 0, 200, 100));
  EXPECT_FALSE(o.TitleShown());
  o.ToggleTitle(20000);
  EXPECT_TRUE(o.TitleShown());
  o.ToggleTitle(20001);
  EXPECT_FALSE(o.TitleShown());
}

TEST(TextOverlays, HelpShowsForFifteenSeconds) {
  // Tick counts are the machine's uptime: far more than 15 s once anything runs.
  TextOverlays o;
  EXPECT_FALSE(o.IsHelpVisible(100000));
  o.ToggleHelp(100000);
  EXPECT_TRUE(o.IsHelpVisible(115000));
  EXPECT_FALSE(o.IsHelpVisible(115001));
  o.ToggleHelp(120000);
  Picture p(700, 340);
  o.DrawOnPicture(p, 120001);
  EXPECT_TRUE(AnyInk(p, 5, 105, 700, 121));   // "Keyboard shortcuts:"
  EXPECT_TRUE(AnyInk(p, 20, 305, 700, 321));  // the eleventh line
  o.ToggleHelp(120002);
  EXPECT_FALSE(o.IsHelpVisible(120003));
}

TEST(TextOverlays, LockedMessageShrinksToAGreyL) {
  TextOverlays o;
  o.ShowMessage("Effect locked", 1000);
  Picture p(400, 100);
  uint32_t now = 1000;
  for (; now <= 4000; now += 10) o.DrawMessage(p, now, true);
  EXPECT_EQ(o.message(), "Effect locked");  // whole for 3000 ms
  // Then one letter per drawing, at most one every 50 ms: twelve removals.
  for (int i = 0; i < 11; ++i) o.DrawMessage(p, now += 50, true);
  EXPECT_EQ(o.message(), "Ef");
  o.DrawMessage(p, now += 49, true);
  EXPECT_EQ(o.message(), "Ef");
  o.DrawMessage(p, now += 1, true);
  EXPECT_EQ(o.message(), "L");
  for (int i = 0; i < 20; ++i) o.DrawMessage(p, now += 100, true);
  EXPECT_EQ(o.message(), "L");
  Picture q(400, 100);
  o.DrawMessage(q, now, true);
  const TextExtent l = OverlayTextPainter().Measure("L");
  const int x = 400 - l.width - 5;
  bool grey = false;
  for (int y = 100 - l.height; y < 100; ++y)
    for (int dx = 0; dx < l.width; ++dx)
      if (q.pixel(x + dx, y)[0] == 128 && q.pixel(x + dx, y)[2] == 128) grey = true;
  EXPECT_TRUE(grey);
}

TEST(TextOverlays, UnlockedMessageShrinksToNothing) {
  TextOverlays o;
  o.ShowMessage("Effect unlocked", 0);
  uint32_t now = 3001;
  Picture p(400, 100);
  for (int i = 0; i < 40; ++i) o.DrawMessage(p, now += 60, false);
  EXPECT_EQ(o.message(), "");
}

}  // namespace
}  // namespace vevirur
