#include "text/text_overlays.h"

#include <algorithm>
#include <cmath>

#include "pipeline/requests.h"
#include "text/text_painter.h"
#include "ui/text_overlays.h"

namespace vevirur {
namespace {

// The shared overlays' painter hook on a Picture, with the front end's font.
class PicturePainter : public OverlayPainter {
 public:
  explicit PicturePainter(Picture& picture) : picture_(picture), font_(OverlayTextPainter()) {}

  OverlayExtent MeasureText(const char* text) override {
    TextExtent extent = font_.Measure(text);
    return {extent.width, extent.height};
  }

  void DrawText(int x, int y, const char* text, OverlayColour colour,
                const OverlayColour* background) override {
    const TextColour ink{colour.red, colour.green, colour.blue};
    if (!background) return font_.Draw(picture_, x, y, text, ink);
    const TextColour fill{background->red, background->green, background->blue};
    font_.Draw(picture_, x, y, text, ink, &fill);
  }

  void FillBlack(const PictureRect& rect) override {
    const int left = std::max(rect.left, 0), right = std::min(rect.right, picture_.width);
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, picture_.height); ++y)
      if (right > left) std::fill(picture_.pixel(left, y), picture_.pixel(right - 1, y) + 3, 0);
  }

  // The 48 x 48 logo: two glowing rings, drawn rather than loaded so no asset file is needed.
  void DrawLogo(int left, int top) override {
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        const int px = left + x, py = top + y;
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

void PaintFrameOverlaysOn(Picture& picture) {
  PicturePainter painter(picture);
  // The plug-in's window while playing: the about lines under the help page have no logo.
  PaintFrameOverlays(painter, WholeOf(picture), 0);
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
