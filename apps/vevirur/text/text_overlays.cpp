#include "text/text_overlays.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "text/text_painter.h"

namespace vevirur {
namespace {

constexpr int kLineSpacing = 20;
constexpr int kHelpIndent = 5;
constexpr uint32_t kTitleMilliseconds = 10000;
constexpr uint32_t kHelpMilliseconds = 15000;
constexpr uint32_t kMessageWholeMilliseconds = 3000;
constexpr uint32_t kMessageShrinkMilliseconds = 50;

constexpr TextColour kWhite{255, 255, 255};
constexpr TextColour kBlack{0, 0, 0};
constexpr TextColour kRed{255, 0, 0};
constexpr TextColour kGrey{128, 128, 128};

constexpr const char* kHelpLines[] = {
    "Keyboard shortcuts:",
    "H - Help",
    "F4 - Lock effect",
    "F6 - Change drawing",
    "Alt+Enter - Go full screen",
    "Space - Show title",
    "S - Save effect",
    "L - Load effect",
    "Alt+Left - Previous effect",
    "Alt+Right - Next effect",
    "PLUS and MINUS - Gamma Correction (Full Screeen only)",
};

void DrawText(Picture& picture, int x, int y, const std::string& text, TextColour ink,
              const TextColour* background = nullptr) {
  OverlayTextPainter().Draw(picture, x, y, text, ink, background);
}

TextExtent MeasureText(const std::string& text) {
  return OverlayTextPainter().Measure(text);
}

// The 48 x 48 logo: two glowing rings, drawn rather than loaded so no asset file is needed.
void DrawLogo(Picture& picture, int left, int top) {
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      int px = left + x, py = top + y;
      if (px >= picture.width || py >= picture.height) continue;
      double r = std::hypot(x - 23.5, y - 23.5);
      double ring =
          std::max(0.0, 1 - std::fabs(r - 19) / 3) + std::max(0.0, 1 - std::fabs(r - 9) / 2.5);
      ring = std::min(1.0, ring);
      uint8_t* p = picture.pixel(px, py);
      p[0] = uint8_t(255 * ring);
      p[1] = uint8_t(140 * ring);
      p[2] = uint8_t(40 + 200 * ring * (r < 14));
    }
}

}  // namespace

void TextOverlays::ShowMessage(const std::string& text, uint32_t now) {
  message_ = text.substr(0, 127);
  message_deadline_ = int64_t(uint32_t(now + kMessageWholeMilliseconds));
}

bool TextOverlays::IsHelpVisible(uint32_t now) {
  if (uint32_t(now - help_clock_) >= kHelpMilliseconds + 1) {
    help_clock_ = 0;
    return false;
  }
  return true;
}

void TextOverlays::ToggleHelp(uint32_t now) {
  help_clock_ = IsHelpVisible(now) ? 0 : now;
}

void TextOverlays::DrawOnPicture(Picture& picture, uint32_t now) {
  if (title_clock_ != 0) {
    if (uint32_t(now - title_clock_) > kTitleMilliseconds) {
      title_clock_ = 0;
    } else {
      DrawText(picture, 15, picture.height - kLineSpacing, title_, kWhite);
    }
  }
  if (IsHelpVisible(now)) {
    DrawAboutScreen(picture, false, false);
    DrawHelpPage(picture);
  }
}

bool TextOverlays::DrawsOnPicture(uint32_t now) {
  if (title_clock_ != 0 && uint32_t(now - title_clock_) > kTitleMilliseconds) title_clock_ = 0;
  return title_clock_ != 0 || IsHelpVisible(now);
}

void TextOverlays::DrawMessage(Picture& picture, uint32_t now, bool effect_locked) {
  if (message_.empty()) return;
  TextExtent extent = MeasureText(message_);
  DrawText(picture, picture.width - extent.width - 5, picture.height - extent.height, message_,
           message_.size() > 1 ? kRed : kGrey);
  if (message_deadline_ <= 0) return;
  uint32_t deadline = uint32_t(message_deadline_);
  if (int32_t(now - deadline) <= 0 || uint32_t(now - deadline) < kMessageShrinkMilliseconds) return;
  message_deadline_ = now;
  // One character, not one byte, of a UTF-8 message.
  while (!message_.empty() && (static_cast<unsigned char>(message_.back()) & 0xC0) == 0x80)
    message_.pop_back();
  if (!message_.empty()) message_.pop_back();
  if (message_.size() <= 1 && effect_locked) {
    message_deadline_ = -1;
    message_ = "L";
  } else if (message_.empty()) {
    message_deadline_ = -1;
  }
}

void TextOverlays::DrawAboutScreen(Picture& picture, bool clear, bool logo) {
  if (clear) std::fill(picture.rgb.begin(), picture.rgb.end(), 0);
  for (int line = 0; line < 3; ++line)
    DrawText(picture, 85, 25 + line * kLineSpacing, kAboutLines[line], kWhite, &kBlack);
  if (logo) DrawLogo(picture, 25, 30);
}

void TextOverlays::DrawHelpPage(Picture& picture) {
  int y = 25 + 4 * kLineSpacing;
  for (size_t i = 0; i < std::size(kHelpLines); ++i) {
    DrawText(picture, i == 0 ? kHelpIndent : kHelpIndent + 15, y, kHelpLines[i], kWhite, &kBlack);
    y += kLineSpacing;
  }
}

}  // namespace vevirur
