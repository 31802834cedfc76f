#include "ui/text_overlays.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "platform/clock.h"
#include "ui/about_texts.h"

namespace {

constexpr uint64_t kTitleShownBit = uint64_t{1} << 32;

struct TextOverlayState {
  // Written by the player's notice handler on its own thread too: the title's clock and its
  // shown flag are one word, the text is copied under a lock.
  std::atomic<uint64_t> title{0};  // kTitleShownBit | start tick, or 0
  std::mutex titleLock;
  char titleText[256] = {};
  char titleCopy[256] = {};  // what GetTitleText hands out on the host thread

  char messageText[128] = {};
  int messageShrinks = 0;  // whether messageDeadline counts
  uint32_t messageDeadline = 0;

  int helpShown = 0;
  uint32_t helpClock = 0;
};

TextOverlayState overlays;

void CopyCut(char* to, size_t size, const char* from) {
  size_t length = from ? strnlen(from, size - 1) : 0;
  if (length) std::memcpy(to, from, length);
  to[length] = 0;
}

// The title text as it is now, copied out under the lock.
void ReadTitle(char (&into)[256]) {
  std::lock_guard<std::mutex> hold(overlays.titleLock);
  std::memcpy(into, overlays.titleText, sizeof into);
}

// Drops a title whose time is over; 1 while the title is shown.
int TitleStillShown() {
  uint64_t title = overlays.title.load();
  if (!(title & kTitleShownBit)) return 0;
  if (platform::TickCount() - static_cast<uint32_t>(title) > kTitleShowMs) {
    overlays.title.compare_exchange_strong(title, 0);
    return 0;
  }
  return 1;
}

}  // namespace

void ShowTitle(int on) {
  overlays.title = on ? kTitleShownBit | platform::TickCount() : 0;
}

unsigned TitleClock() {
  uint64_t title = overlays.title.load();
  return title & kTitleShownBit ? static_cast<uint32_t>(title) : 0u;
}

int IsTitleShown() {
  return (overlays.title.load() & kTitleShownBit) != 0;
}

void SetTitleText(const char* text) {
  std::lock_guard<std::mutex> hold(overlays.titleLock);
  CopyCut(overlays.titleText, sizeof overlays.titleText, text);
}

const char* GetTitleText() {
  ReadTitle(overlays.titleCopy);
  return overlays.titleCopy;
}

void ShowMessage(const char* text) {
  CopyCut(overlays.messageText, sizeof overlays.messageText, text);
  overlays.messageShrinks = 1;
  overlays.messageDeadline = platform::TickCount() + kMessageWholeMs;
}

const char* GetMessageText() {
  return overlays.messageText;
}

int IsHelpVisible() {
  if (!overlays.helpShown) return 0;
  if (platform::TickCount() - overlays.helpClock > kHelpShowMs) {
    overlays.helpShown = 0;
    overlays.helpClock = 0;
    return 0;
  }
  return 1;
}

void ToggleHelpPage() {
  if (IsHelpVisible()) {
    overlays.helpShown = 0;
    overlays.helpClock = 0;
  } else {
    overlays.helpShown = 1;
    overlays.helpClock = platform::TickCount();
  }
}

void ResetTextOverlays() {
  overlays.title = 0;
  {
    std::lock_guard<std::mutex> hold(overlays.titleLock);
    overlays.titleText[0] = 0;
  }
  overlays.titleCopy[0] = 0;
  overlays.messageText[0] = 0;
  overlays.messageShrinks = 0;
  overlays.messageDeadline = 0;
  overlays.helpShown = 0;
  overlays.helpClock = 0;
}

void PaintTitleOverlay(OverlayPainter& painter, const PictureRect& picture) {
  if (!TitleStillShown()) return;
  char text[256];
  ReadTitle(text);
  painter.DrawText(picture.left + 15, picture.bottom - kOverlayLineSpacing, text, kTextWhite,
                   nullptr);
}

void PaintMessageOverlay(OverlayPainter& painter, const PictureRect& picture, int effectLocked) {
  char* text = overlays.messageText;
  size_t length = std::strlen(text);
  if (length == 0) return;
  OverlayExtent extent = painter.MeasureText(text);
  painter.DrawText(picture.right - extent.width - 5, picture.bottom - extent.height, text,
                   length > 1 ? kTextRed : kTextGrey, nullptr);
  if (!overlays.messageShrinks) return;
  // Later than the deadline by at least 50 ms, as a signed difference of ticks.
  uint32_t now = platform::TickCount();
  if (static_cast<int32_t>(now - overlays.messageDeadline) < static_cast<int32_t>(kMessageLetterMs))
    return;
  overlays.messageDeadline = now;
  text[--length] = 0;
  if (length <= 1 && effectLocked) {
    overlays.messageShrinks = 0;
    text[0] = 'L';
    text[1] = 0;
  } else if (length == 0) {
    overlays.messageShrinks = 0;
  }
}

void PaintAboutScreen(OverlayPainter& painter, const PictureRect& picture, int clear, int logo) {
  if (clear) painter.FillBlack(picture);
  for (int line = 0; line < 3; ++line) {
    painter.DrawText(kAboutTextX, kAboutTextY + line * kOverlayLineSpacing, kAboutLines[line],
                     kTextWhite, &kTextBlack);
  }
  if (logo) painter.DrawLogo(kLogoX, kLogoY);
}

void PaintHelpPage(OverlayPainter& painter) {
  int y = kAboutTextY + 4 * kOverlayLineSpacing;
  for (int line = 0; line < 11; ++line, y += kOverlayLineSpacing) {
    int x = line == 0 ? kHelpIndent : kHelpIndent + 15;
    painter.DrawText(x, y, kHelpLines[line], kTextWhite, &kTextBlack);
  }
}

void PaintFrameOverlays(OverlayPainter& painter, const PictureRect& picture, int logo) {
  PaintTitleOverlay(painter, picture);
  if (IsHelpVisible()) {
    PaintAboutScreen(painter, picture, 0, logo);
    PaintHelpPage(painter);
  }
}

int FrameOverlaysVisible() {
  return TitleStillShown() || IsHelpVisible();
}

int AboutHitTest(int x, int y, int isPlaying, OverlayExtent noticeExtent) {
  if (isPlaying && !IsHelpVisible()) return 0;
  return x < noticeExtent.width + kAboutTextX &&
         y < noticeExtent.height + 2 * kOverlayLineSpacing + kAboutTextY;
}
