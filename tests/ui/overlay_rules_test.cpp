#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pipeline/requests.h"
#include "platform/clock.h"
#include "ui/about_texts.h"
#include "ui/overlay_commands.h"
#include "ui/text_overlays.h"
#include "ui/window_commands.h"

namespace {

class TestClock : public platform::TimeSource {
 public:
  uint32_t now = 0;
  uint32_t Now() override { return now; }
  void Sleep(uint32_t ms) override { now += ms; }
};

// One painted line: where, what, in which colour, and its background (-1: transparent).
struct Painted {
  int x, y;
  std::string text;
  int colour;
  int background;
  bool operator==(const Painted&) const = default;
};

int Packed(OverlayColour c) {
  return c.red << 16 | c.green << 8 | c.blue;
}

// Every text 7 pixels wide per letter and 16 high.
class RecordingPainter : public OverlayPainter {
 public:
  std::vector<Painted> lines;
  std::vector<std::string> other;  // fills and logos
  OverlayExtent MeasureText(const char* text) override {
    return {7 * static_cast<int>(std::string(text).size()), 16};
  }
  void DrawText(int x, int y, const char* text, OverlayColour colour,
                const OverlayColour* background) override {
    lines.push_back({x, y, text, Packed(colour), background ? Packed(*background) : -1});
  }
  void FillBlack(const PictureRect& r) override {
    other.push_back("fill " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                    std::to_string(r.right) + "," + std::to_string(r.bottom));
  }
  void DrawLogo(int x, int y) override {
    other.push_back("logo " + std::to_string(x) + "," + std::to_string(y));
  }
};

using Shown = std::pair<std::string, int>;
constexpr int kWhite = 0xFFFFFF, kRed = 0xFF0000, kGrey = 0x808080, kBlack = 0;
const PictureRect kPicture{0, 0, 400, 300};

class OverlayRules : public ::testing::Test {
 protected:
  TestClock clock;
  void SetUp() override {
    platform::SetTimeSource(&clock);
    ResetTextOverlays();
    ResetLinkClicks();
    Requests.EffectLocked = 0;
  }
  void TearDown() override {
    platform::SetTimeSource(nullptr);
    Requests.EffectLocked = 0;
  }
  // The message as painted at `at`: text and colour, or "" when nothing is painted.
  std::pair<std::string, int> MessageAt(uint32_t at, int locked) {
    clock.now = at;
    RecordingPainter painter;
    PaintMessageOverlay(painter, kPicture, locked);
    if (painter.lines.empty()) return {"", -1};
    const Painted& p = painter.lines[0];
    EXPECT_EQ(p.x, 400 - 7 * static_cast<int>(p.text.size()) - 5);
    EXPECT_EQ(p.y, 300 - 16);
    EXPECT_EQ(p.background, -1);
    return {p.text, p.colour};
  }
};

TEST_F(OverlayRules, TitleIsPaintedForTenSecondsAtTheBottomLeft) {
  // Tick 0 included: a title shown then is shown, not taken for "no title".
  for (uint32_t start : {0u, 123456u, 0xFFFFF000u}) {
    clock.now = start;
    SetTitleText("Artist - Song");
    ShowTitle(1);
    for (auto [after, painted] : {std::pair{10000u, true}, {10001u, false}, {10000u, false}}) {
      clock.now = start + after;
      RecordingPainter painter;
      PaintTitleOverlay(painter, PictureRect{10, 20, 330, 260});
      std::vector<Painted> want;
      if (painted) want.push_back({25, 240, "Artist - Song", kWhite, -1});
      EXPECT_EQ(painter.lines, want) << start << "+" << after;
    }
    EXPECT_EQ(IsTitleShown(), 0);
    EXPECT_EQ(TitleClock(), 0u);
  }
}

TEST_F(OverlayRules, TitleToggleAndTexts) {
  clock.now = 500;
  ToggleTitle();
  EXPECT_EQ(TitleClock(), 500u);
  ToggleTitle();
  EXPECT_EQ(IsTitleShown(), 0);
  std::string longTitle(300, 'x');
  SetTitleText(longTitle.c_str());
  EXPECT_EQ(std::string(GetTitleText()), longTitle.substr(0, 255));
  SetTitleText(nullptr);
  EXPECT_STREQ(GetTitleText(), "");
  ShowMessage(std::string(200, 'm').c_str());
  EXPECT_EQ(std::string(GetMessageText()), std::string(127, 'm'));
}

TEST_F(OverlayRules, HelpIsVisibleFor15000Ms) {
  // Not visible at load, not even in the first 15 s of the clock.
  for (uint32_t t : {0u, 15000u}) {
    clock.now = t;
    EXPECT_EQ(IsHelpVisible(), 0);
  }
  for (uint32_t start : {0u, 0xFFFFF000u}) {
    clock.now = start;
    ToggleHelp();
    clock.now = start + 15000;
    EXPECT_EQ(IsHelpVisible(), 1);
    clock.now = start + 15001;
    EXPECT_EQ(IsHelpVisible(), 0);
    clock.now = start + 1;  // hidden stays hidden
    EXPECT_EQ(IsHelpVisible(), 0);
  }
  clock.now = 100;
  ToggleHelp();
  clock.now = 200;
  ToggleHelp();  // visible: hides it
  EXPECT_EQ(IsHelpVisible(), 0);
}

TEST_F(OverlayRules, LockedMessageShrinksToAGreyLThatStays) {
  clock.now = 1000;
  Requests.EffectLocked = 0;
  ToggleEffectLock();
  EXPECT_EQ(Requests.EffectLocked.load(), 1);
  EXPECT_EQ(MessageAt(4049, 1), Shown("Effect locked", kRed));
  // From 3050 ms: one letter per painting, at most one every 50 ms; painted before removed.
  EXPECT_EQ(MessageAt(4050, 1), Shown("Effect locked", kRed));
  EXPECT_STREQ(GetMessageText(), "Effect locke");
  EXPECT_EQ(MessageAt(4099, 1).first, "Effect locke");
  uint32_t t = 4100;
  for (int i = 0; i < 10; ++i, t += 50) MessageAt(t, 1);
  // The twelfth removal leaves one letter, which becomes the "L".
  EXPECT_EQ(MessageAt(t, 1), Shown("Ef", kRed));
  EXPECT_STREQ(GetMessageText(), "L");
  for (uint32_t later : {t + 50, t + 100000}) EXPECT_EQ(MessageAt(later, 1), Shown("L", kGrey));
}

TEST_F(OverlayRules, UnlockedMessageShrinksToNothing) {
  // Including a deadline past 2^31 ticks (24.8 days of uptime) and one across the wrap.
  for (uint32_t start : {1000u, 0x7FFFF000u, 0xFFFFF000u}) {
    Requests.EffectLocked = 1;
    clock.now = start;
    ToggleEffectLock();
    EXPECT_STREQ(GetMessageText(), "Effect unlocked");
    uint32_t t = start + 3050;
    for (int i = 0; i < 15; ++i, t += 50) MessageAt(t, 0);
    EXPECT_STREQ(GetMessageText(), "") << start;
    EXPECT_EQ(MessageAt(t + 50, 0).first, "");
  }
}

TEST_F(OverlayRules, AboutScreenAndHelpPageLines) {
  RecordingPainter painter;
  PaintAboutScreen(painter, PictureRect{0, 0, 320, 240}, 1, 1);
  PaintHelpPage(painter);
  std::vector<Painted> want = {{85, 25, kAboutTitle, kWhite, kBlack},
                               {85, 45, kMakerWebSite, kWhite, kBlack},
                               {85, 65, kMakerNotice, kWhite, kBlack}};
  for (int i = 0; i < 11; ++i)
    want.push_back({i == 0 ? 5 : 20, 105 + 20 * i, kHelpLines[i], kWhite, kBlack});
  EXPECT_EQ(painter.lines, want);
  EXPECT_EQ(painter.lines.back().text, "PLUS and MINUS - Gamma Correction (Full Screeen only)");
  EXPECT_EQ(painter.other, (std::vector<std::string>{"fill 0,0,320,240", "logo 25,30"}));

  RecordingPainter noLogo;
  PaintAboutScreen(noLogo, kPicture, 0, 0);
  EXPECT_TRUE(noLogo.other.empty());
  EXPECT_EQ(noLogo.lines.size(), 3u);
}

TEST_F(OverlayRules, FrameOverlaysAddTheAboutLinesAndHelpWhileTheHelpIsVisible) {
  clock.now = 1000;
  SetTitleText("T");
  ShowTitle(1);
  EXPECT_EQ(FrameOverlaysVisible(), 1);
  RecordingPainter plain;
  PaintFrameOverlays(plain, kPicture, 0);
  EXPECT_EQ(plain.lines.size(), 1u);
  ToggleHelp();
  RecordingPainter help;
  PaintFrameOverlays(help, kPicture, 1);
  EXPECT_EQ(help.lines.size(), 1u + 3 + 11);
  EXPECT_EQ(help.other, std::vector<std::string>{"logo 25,30"});
  clock.now = 1000 + 10001;
  EXPECT_EQ(FrameOverlaysVisible(), 1);  // the help page still
  clock.now = 1000 + 15001;
  EXPECT_EQ(FrameOverlaysVisible(), 0);
}

TEST_F(OverlayRules, AboutHitTestCoversTheTextUpToTheNoticeLine) {
  OverlayExtent notice{200, 16};  // link area: x < 285, y < 81
  struct Case {
    int x, y, playing, help, hit;
  } cases[] = {{0, 0, 0, 0, 1},   {284, 80, 0, 0, 1}, {285, 0, 0, 0, 0}, {0, 81, 0, 0, 0},
               {-5, -5, 0, 0, 1}, {10, 10, 1, 0, 0},  {10, 10, 1, 1, 1}};
  for (const Case& c : cases) {
    ResetTextOverlays();
    clock.now = 50;
    if (c.help) ToggleHelp();
    EXPECT_EQ(AboutHitTest(c.x, c.y, c.playing, notice), c.hit) << c.x << "," << c.y;
  }
}

TEST_F(OverlayRules, KeyMessageTable) {
  using C = WindowCommand;
  struct Case {
    unsigned message;
    uintptr_t key;
    intptr_t lParam;
    C want;
  } cases[] = {
      {kKeyDownMessage, 13, 0x1C0001, C::kChangeDrawing},
      {kKeyDownMessage, 13, 1, C::kGoFullScreen},
      {kKeyDownMessage, 27, 0x10001, C::kLeaveFullScreen},
      {kKeyDownMessage, 32, 0x390001, C::kToggleTitle},
      {kKeyDownMessage, 47, 1, C::kToggleHelp},
      {kKeyDownMessage, 'A', 1, C::kToggleHelp},
      {kKeyDownMessage, 'H', 1, C::kToggleHelp},
      {kKeyDownMessage, 112, 1, C::kToggleHelp},
      {kKeyDownMessage, 'D', 1, C::kConsumed},
      {kKeyDownMessage, 'L', 1, C::kConsumed},
      {kKeyDownMessage, 'R', 1, C::kConsumed},
      {kKeyDownMessage, 'S', 1, C::kConsumed},
      {kKeyDownMessage, 113, 1, C::kConsumed},
      {kKeyDownMessage, 114, 1, C::kConsumed},
      {kKeyDownMessage, 115, 1, C::kToggleEffectLock},
      {kKeyDownMessage, 116, 1, C::kChangeDrawing},
      {kKeyDownMessage, 117, 1, C::kChangeDrawing},
      {kKeyDownMessage, 'Z', 0x2C0001, C::kPassToPlayer},
      {kKeyDownMessage, 'O', 1, C::kPassToPlayer},
      {kKeyDownMessage, 37, 1, C::kPassToPlayer},
      {kKeyUpMessage, 'Z', 0xC02C0001, C::kDefault},
      {kKeyUpMessage, 13, 1, C::kConsumed},
      {kKeyUpMessage, 'O', 1, C::kConsumed},
      {kKeyUpMessage, 118, 1, C::kConsumed},
      {kKeyUpMessage, 119, 1, C::kDefault},
      {kKeyUpMessage, 122, 1, C::kConsumed},
      {kKeyUpMessage, 37, 1, C::kPreviousEffect},
      {kKeyUpMessage, 33, 1, C::kPreviousEffect},
      {kKeyUpMessage, 39, 1, C::kNextEffect},
      {kKeyUpMessage, 34, 1, C::kNextEffect},
      {kKeyUpMessage, 39, 0xC14D0001, C::kConsumed},
      {kSysKeyDownMessage, 33, 0x20490001, C::kPreviousEffect},
      {kSysKeyDownMessage, 37, 0x204B0001, C::kPreviousEffect},
      {kSysKeyDownMessage, 34, 0x20510001, C::kNextEffect},
      {kSysKeyDownMessage, 39, 0x204D0001, C::kNextEffect},
      {kSysKeyDownMessage, 13, 0x201C0001, C::kDefault},
      {kSysKeyUpMessage, 37, 0xE04B0001, C::kConsumed},
      {kSysKeyUpMessage, 'Z', 0xE02C0001, C::kDefault},
      {kSysCommandMessage, 0xF100, 13, C::kGoFullScreen},
      {kSysCommandMessage, 0xF100, 0, C::kDefault},
      {kSysCommandMessage, 0xF060, 0, C::kDefault},
      {kSysCommandMessage, 39, 1, C::kNextEffect},
      {0x102, 'Z', 1, C::kDefault},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandForKeyMessage(c.message, c.key, c.lParam), c.want)
        << std::hex << c.message << " " << std::dec << c.key << " " << c.lParam;
  }
}

TEST_F(OverlayRules, LinkOpensOnPressAndReleaseOnItAtMostOnceIn2000Ms) {
  // Each step: press on link?, double click?, release on link?, time, opens?
  struct Step {
    int press, doubleClick, release;
    uint32_t at;
    int opens;
  } steps[] = {
      {1, 0, 0, 0, 0},     // ends off the link
      {0, 0, 1, 10, 0},    // starts off the link
      {1, 0, 1, 20, 1},    // at tick 20: the first opening needs no pause before it
      {1, 0, 1, 2019, 0},  // within 2000 ms of it
      {1, 1, 1, 2020, 0},  // a double click opens nothing
      {1, 0, 1, 2020, 1},  // the next single click does
  };
  for (const Step& s : steps) {
    clock.now = s.at;
    LinkButtonDown(s.press);
    if (s.doubleClick) LinkDoubleClick();
    EXPECT_EQ(LinkButtonUp(s.release), s.opens) << s.at;
  }
}

}  // namespace
