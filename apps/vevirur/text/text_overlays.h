#pragma once
// The plug-in's overlays (ui/text_overlays.h: the title, the status message, the help page and
// the about screen, with their texts, places, colours and timings) painted on the front end's
// pictures with its own font. The overlay state is the shared one: set the title with
// SetOverlayTitle and ShowTitle, messages with ShowMessage, keys through ui/overlay_commands.h.
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "pictures_out/picture.h"
#include "ui/overlay_painter.h"

namespace vevirur {

// The title text, cut to what the overlays hold (255 bytes) at a character boundary.
void SetOverlayTitle(const std::string& utf8);

// What the plug-in draws on each finished picture: the title, and while the help page is
// shown the about lines and the help page.
void PaintFrameOverlaysOn(Picture& picture);

// The same overlays taken down once, to be painted on a band of the picture's rows: a frame
// that is not read out as RGB needs only the rows they touch.
struct OverlayRecording {
  int top = INT_MAX, bottom = INT_MIN;  // the rows touched, [top, bottom), within the picture
  std::vector<std::function<void(OverlayPainter&)>> steps;
  // Paints on `band`, whose row 0 is the picture's row `first_row`.
  void PaintOn(Picture& band, int first_row) const;
};
OverlayRecording RecordFrameOverlays(int width, int height);
// Whether PaintFrameOverlaysOn would draw anything now.
bool FrameOverlaysShown();
// Over the shown picture: the status message; while the effect is locked a grey "L" stays.
void PaintMessageOn(Picture& picture);
// The about screen with its logo; `clear` blackens the picture first.
void PaintAboutScreenOn(Picture& picture, bool clear);

}  // namespace vevirur
