#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "pipeline/requests.h"
#include "platform/clock.h"
#include "ui/overlay_commands.h"
#include "ui/text_overlays.h"
#include "ui/window_commands.h"

namespace {

using Calls = std::vector<std::string>;

std::string At(int x, int y) {
  return std::to_string(x) + "," + std::to_string(y);
}

std::string Rgb(OverlayColour c) {
  return std::to_string(c.red) + "." + std::to_string(c.green) + "." + std::to_string(c.blue);
}

// Records what the overlays paint, one text per call and in order: "x,y r.g.b text"
// (transparent), "x,y r.g.b/r.g.b text" (on a background), "fill" (black), "logo x,y".
class RecordingPainter : public OverlayPainter {
 public:
  Calls calls;
  // Every letter is 7 pixels wide and 16 high.
  OverlayExtent MeasureText(const char* text) override {
    return {7 * static_cast<int>(std::strlen(text)), 16};
  }
  void DrawText(int x, int y, const char* text, OverlayColour c, const OverlayColour* b) override {
    calls.push_back(At(x, y) + " " + Rgb(c) + (b ? "/" + Rgb(*b) : "") + " " + text);
  }
  void FillBlack(const PictureRect&) override { calls.push_back("fill"); }
  void DrawLogo(int x, int y) override { calls.push_back("logo " + At(x, y)); }
};

// The overlays, keys and link on a clock the test sets.
class OverlayRules : public ::testing::Test, public platform::TimeSource {
 protected:
  uint32_t now = 0;
  uint32_t Now() override { return now; }
  void Sleep(uint32_t) override {}
  void SetUp() override {
    platform::SetTimeSource(this);
    ResetTextOverlays();
    ResetLinkClicks();
    Requests.EffectLocked = 0;
  }
  void TearDown() override { platform::SetTimeSource(nullptr); }
  // The title and the message as painted at `at` on the picture (10, 20)-(410, 320).
  Calls PaintedAt(uint32_t at, int locked) {
    now = at;
    RecordingPainter painter;
    PaintTitleOverlay(painter, PictureRect{10, 20, 410, 320});
    PaintMessageOverlay(painter, PictureRect{10, 20, 410, 320}, locked);
    return painter.calls;
  }
};

TEST_F(OverlayRules, TitleIsPaintedForTenSecondsAndHelpFor15) {
  EXPECT_EQ(IsHelpVisible(), 0);  // not at load, though the clock is within 15 s of 0
  // Tick 0 included: a title shown then is shown, not taken for "no title".
  for (uint32_t start : {0u, 0xFFFFF000u}) {
    now = start;
    SetTitleText("Artist - Song");
    ToggleTitle();
    ToggleHelp();
    for (auto [after, shown] : {std::pair{10000u, 1u}, {10001u, 0u}, {10000u, 0u}})
      EXPECT_EQ(PaintedAt(start + after, 0), Calls(shown, "25,300 255.255.255 Artist - Song"));
    now = start + 15000;
    EXPECT_EQ(IsHelpVisible(), 1);
    now = start + 15001;
    EXPECT_EQ(FrameOverlaysVisible(), 0);
  }
}

TEST_F(OverlayRules, MessageIsWholeFor3000MsThenLosesALetterAtMostEvery50Ms) {
  ToggleEffectLock();  // at tick 0
  EXPECT_EQ(PaintedAt(3049, 1), Calls{"314,304 255.0.0 Effect locked"});
  EXPECT_EQ(PaintedAt(3050, 1), Calls{"314,304 255.0.0 Effect locked"});  // then shortened
  EXPECT_EQ(PaintedAt(3099, 1), Calls{"321,304 255.0.0 Effect locke"});
  for (uint32_t t = 3100; t < 3600; t += 50) PaintedAt(t, 1);
  EXPECT_EQ(PaintedAt(3600, 1), Calls{"391,304 255.0.0 Ef"});  // the twelfth removal: an "L"
  EXPECT_EQ(PaintedAt(999999, 1), Calls{"398,304 128.128.128 L"});
  // Unlocked it goes, also with a deadline past 2^31 ticks (24.8 days) or across the wrap.
  for (uint32_t start : {1000u, 0x7FFFF000u, 0xFFFFF000u}) {
    now = start;
    ToggleEffectLock();
    PaintedAt(start, 0);  // not shortened before its time
    EXPECT_EQ(PaintedAt(start + 3049, 0), Calls{"300,304 255.0.0 Effect unlocked"});
    for (uint32_t t = start + 3050; t != start + 3800; t += 50) PaintedAt(t, 0);
    EXPECT_EQ(PaintedAt(start + 3850, 0), Calls{}) << start;
    Requests.EffectLocked = 1;
  }
}

TEST_F(OverlayRules, AboutScreenAndHelpPageLines) {
  RecordingPainter painter;
  PaintAboutScreen(painter, PictureRect{0, 0, 320, 240}, 1, 1);
  PaintHelpPage(painter);
  const Calls want = {
      "fill",
      "85,25 255.255.255/0.0.0 Vevirur 2.5",
      "85,45 255.255.255/0.0.0 https://vevirur.example.org/",
      "85,65 255.255.255/0.0.0 (c) 2026 the Vevirur 2 developers",
      "logo 25,30",
      "5,105 255.255.255/0.0.0 Keyboard shortcuts:",
      "20,125 255.255.255/0.0.0 H - Help",
      "20,145 255.255.255/0.0.0 F4 - Lock effect",
      "20,165 255.255.255/0.0.0 F6 - Change drawing",
      "20,185 255.255.255/0.0.0 Alt+Enter - Go full screen",
      "20,205 255.255.255/0.0.0 Space - Show title",
      "20,225 255.255.255/0.0.0 S - Save effect",
      "20,245 255.255.255/0.0.0 L - Load effect",
      "20,265 255.255.255/0.0.0 Alt+Left - Previous effect",
      "20,285 255.255.255/0.0.0 Alt+Right - Next effect",
      "20,305 255.255.255/0.0.0 PLUS and MINUS - Gamma Correction (Full Screeen only)"};
  EXPECT_EQ(painter.calls, want);
}

TEST_F(OverlayRules, AClickOnTheAboutTextOpensTheSiteAtMostOnceIn2000Ms) {
  // Press x, y, release x, y, time, double click, opens. The notice line (200 x 16) bounds the
  // link area: x < 285, y < 81, also left of and above the window. The first opening, at tick
  // 20, needs no pause before it.
  using Click = std::tuple<int, int, int, int, uint32_t, int, int>;
  Click clicks[] = {{284, 80, 285, 0, 0, 0, 0},   {0, 81, 10, 10, 10, 0, 0},
                    {284, 80, 284, 80, 20, 0, 1}, {10, 10, 10, 10, 2019, 0, 0},
                    {10, 10, 10, 10, 2020, 1, 0}, {10, 10, 10, 10, 2020, 0, 1},
                    {-5, -5, -5, -5, 4020, 0, 1}};
  for (auto [pressX, pressY, releaseX, releaseY, at, twice, opens] : clicks) {
    now = at;
    LinkButtonDown(AboutHitTest(pressX, pressY, 0, OverlayExtent{200, 16}));
    if (twice) LinkDoubleClick();
    EXPECT_EQ(LinkButtonUp(AboutHitTest(releaseX, releaseY, 0, OverlayExtent{200, 16})), opens);
  }
  // Playing, the about text is not on screen (unless the help shows it: the Wine run of the
  // options menu checks that by the cursor over it).
  EXPECT_EQ(AboutHitTest(10, 10, 1, OverlayExtent{200, 16}), 0);
}

TEST_F(OverlayRules, KeysThatMatter) {
  using enum WindowCommand;
  // Message (key down 0x100, key up 0x101, Alt key down 0x104, system command 0x112), key,
  // lParam (1: made up; else a real key's scan code and bits), command.
  std::tuple<unsigned, uintptr_t, intptr_t, WindowCommand> keys[] = {
      {0x100, 13, 0x1C0001, kChangeDrawing}, {0x100, 13, 1, kGoFullScreen},
      {0x100, 115, 1, kToggleEffectLock},    {0x100, 'Z', 0x2C0001, kPassToPlayer},
      {0x101, 'Z', 0xC02C0001, kDefault},    {0x101, 37, 1, kPreviousEffect},
      {0x101, 39, 0xC14D0001, kConsumed},    {0x104, 34, 0x20510001, kNextEffect},
      {0x112, 0xF100, 13, kGoFullScreen}};
  for (auto [message, key, lParam, want] : keys)
    EXPECT_EQ(CommandForKeyMessage(message, key, lParam), want) << message << " " << key;
}

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
