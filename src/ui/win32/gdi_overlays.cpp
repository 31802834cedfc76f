#include "ui/win32/gdi_overlays.h"

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "pipeline/requests.h"
#include "ui/about_texts.h"
#include "ui/text_overlays.h"
#include "ui/win32/gdi_overlay_painter.h"

namespace {
PictureRect FromRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}
}  // namespace

void DrawTitleOverlay(HDC dc, const RECT& picture) {
  GdiOverlayPainter painter(dc, Plugin.Instance);
  PaintTitleOverlay(painter, FromRect(picture));
}

void DrawMessageOverlay(HDC dc, const RECT& picture) {
  GdiOverlayPainter painter(dc, Plugin.Instance);
  PaintMessageOverlay(painter, FromRect(picture), Requests.EffectLocked.load());
}

void DrawAboutScreen(HDC dc, HINSTANCE instance, const RECT& picture, int clear) {
  int playing = Plugin.IsPlaying.load();
  int fullScreen = Plugin.FullScreenActive.load();
  HDC backBuffer = nullptr;
  if (fullScreen && !playing) {
    backBuffer = Hooks.GetBackBufferDC ? Hooks.GetBackBufferDC() : nullptr;
    if (!backBuffer) return;
    dc = backBuffer;
  }
  GdiOverlayPainter painter(dc, instance);
  // In the window while playing the about lines sit under the help page, without the logo.
  PaintAboutScreen(painter, FromRect(picture), clear, !(playing && !fullScreen));
  if (backBuffer && Hooks.ReleaseBackBufferDCAndFlip) Hooks.ReleaseBackBufferDCAndFlip(backBuffer);
}

void DrawHelpPage(HDC dc) {
  GdiOverlayPainter painter(dc, Plugin.Instance);
  PaintHelpPage(painter);
}

SIZE MeasureAboutLink(HDC dc) {
  GdiOverlayPainter painter(dc, Plugin.Instance);
  OverlayExtent extent = painter.MeasureText(kMakerNotice);
  return SIZE{extent.width, extent.height};
}
