#include "text/text_overlays.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pipeline/requests.h"
#include "text/text_painter.h"
#include "ui/text_overlays.h"

namespace vevirur {
namespace {

// The shared overlays' painter hook on a Picture, with the front end's font. The picture's row 0
// is the window's row `first_row` (a band of the window's rows).
class PicturePainter : public OverlayPainter {
 public:
  explicit PicturePainter(Picture& picture, int first_row = 0)
      : picture_(picture), first_row_(first_row), font_(OverlayTextPainter()) {}

  OverlayExtent MeasureText(const char* text) override {
    TextExtent extent = font_.Measure(text);
    return {extent.width, extent.height};
  }

  void DrawText(int x, int y, const char* text, OverlayColour colour,
                const OverlayColour* background) override {
    const TextColour ink{colour.red, colour.green, colour.blue};
    y -= first_row_;
    if (!background) return font_.Draw(picture_, x, y, text, ink);
    const TextColour fill{background->red, background->green, background->blue};
    font_.Draw(picture_, x, y, text, ink, &fill);
  }

  void FillBlack(const PictureRect& rect) override {
    const int left = std::max(rect.left, 0), right = std::min(rect.right, picture_.width);
    const int top = std::max(rect.top - first_row_, 0);
    const int bottom = std::min(rect.bottom - first_row_, picture_.height);
    for (int y = top; y < bottom; ++y)
      if (right > left) std::fill(picture_.pixel(left, y), picture_.pixel(right - 1, y) + 3, 0);
  }

  // The 48 x 48 logo: two glowing rings, drawn rather than loaded so no asset file is needed.
  void DrawLogo(int left, int top) override {
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        const int px = left + x, py = top + y - first_row_;
        if (px < 0 || py < 0 || px >= picture_.width || py >= picture_.height) continue;
        const double r = std::hypot(x - 23.5, y - 23.5);
        double ring =
            std::max(0.0, 1 - std::fabs(r - 19) / 3) + std::max(0.0, 1 - std::fabs(r - 9) / 2.5);
        ring = std::min(1.0, ring);
        uint8_t* p = picture_.pixel(px, py);
        p[0] = uint8_t(255 * ring);
        p[1] = uint8_t(140 * ring);
        p[2] = uint8_t(40 + 200 * ring * (r < 14));
      }
  }

 private:
  Picture& picture_;
  const int first_row_;
  TextPainter& font_;
};

// Keeps what the overlays paint, and the rows it touches, to paint it later.
class RecordingPainter : public OverlayPainter {
 public:
  explicit RecordingPainter(OverlayRecording& recording)
      : recording_(recording), font_(OverlayTextPainter()) {}

  OverlayExtent MeasureText(const char* text) override {
    TextExtent extent = font_.Measure(text);
    return {extent.width, extent.height};
  }

  void DrawText(int x, int y, const char* text, OverlayColour colour,
                const OverlayColour* background) override {
    const TextExtent extent = font_.Measure(text);
    Touch(y + extent.ink_top, y + extent.ink_bottom);
    const bool filled = background != nullptr;
    const OverlayColour fill = filled ? *background : OverlayColour{};
    recording_.steps.push_back([=, text = std::string(text)](OverlayPainter& painter) {
      painter.DrawText(x, y, text.c_str(), colour, filled ? &fill : nullptr);
    });
  }

  void FillBlack(const PictureRect& rect) override {
    Touch(rect.top, rect.bottom);
    recording_.steps.push_back([=](OverlayPainter& painter) { painter.FillBlack(rect); });
  }

  void DrawLogo(int left, int top) override {
    Touch(top, top + kLogoSize);
    recording_.steps.push_back([=](OverlayPainter& painter) { painter.DrawLogo(left, top); });
  }

 private:
  void Touch(int top, int bottom) {
    if (top >= bottom) return;
    recording_.top = std::min(recording_.top, top);
    recording_.bottom = std::max(recording_.bottom, bottom);
  }
  OverlayRecording& recording_;
  TextPainter& font_;
};

PictureRect WholeOf(const Picture& picture) {
  return {0, 0, picture.width, picture.height};
}

}  // namespace

void SetOverlayTitle(const std::string& utf8) {
  size_t length = std::min<size_t>(utf8.size(), 255);
  // Not in the middle of a character: back off continuation bytes (10xxxxxx).
  if (length < utf8.size())
    while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) --length;
  SetTitleText(utf8.substr(0, length).c_str());
}

OverlayRecording RecordFrameOverlays(int width, int height) {
  OverlayRecording recording;
  RecordingPainter painter(recording);
  // The plug-in's window while playing: the about lines under the help page have no logo.
  PaintFrameOverlays(painter, {0, 0, width, height}, 0);
  recording.top = std::max(recording.top, 0);
  recording.bottom = std::min(recording.bottom, height);
  return recording;
}

void OverlayRecording::PaintOn(Picture& picture, int first_row) const {
  PicturePainter painter(picture, first_row);
  for (const auto& step : steps) step(painter);
}

void PaintFrameOverlaysOn(Picture& picture) {
  RecordFrameOverlays(picture.width, picture.height).PaintOn(picture, 0);
}

bool FrameOverlaysShown() {
  return FrameOverlaysVisible() != 0;
}

void PaintMessageOn(Picture& picture) {
  PicturePainter painter(picture);
  PaintMessageOverlay(painter, WholeOf(picture), Requests.EffectLocked.load());
}

void PaintAboutScreenOn(Picture& picture, bool clear) {
  PicturePainter painter(picture);
  PaintAboutScreen(painter, WholeOf(picture), clear ? 1 : 0, 1);
}

}  // namespace vevirur
