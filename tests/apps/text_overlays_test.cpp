#include "text/text_overlays.h"

#include <gtest/gtest.h>

#include "text/bitmap_font.h"

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

TEST(BitmapFont, DrawsInkWhereTheGlyphIsAndClipsAtTheEdge) {
  Picture p(40, 20);
  DrawText(p, 0, 0, "I", {255, 255, 255});
  // "I": a bar across the top row, glyph columns 1..3 -> pixels 2..7 at twice the size.
  EXPECT_EQ(p.pixel(2, 0)[0], 255);
  EXPECT_EQ(p.pixel(7, 1)[0], 255);
  EXPECT_EQ(p.pixel(0, 0)[0], 0);
  EXPECT_EQ(p.pixel(4, 4)[0], 255);  // the stem
  EXPECT_EQ(MeasureText("abc").width, 3 * kGlyphCellWidth);
  DrawText(p, 30, 10, "WWWW", {1, 2, 3});  // runs off the right and bottom edges: clipped
  DrawText(p, -100, -100, "\x01\xff", {1, 2, 3});
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
  const int x = 400 - kGlyphCellWidth - 5;
  bool grey = false;
  for (int y = 100 - kGlyphCellHeight; y < 100; ++y)
    for (int dx = 0; dx < kGlyphCellWidth; ++dx)
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
