// Render and RenderFrame: the player's calls turned into the frame hand-off.
#include "host/render_frame.h"

#include "bridge/plugin_state.h"
#include "fullscreen/win32/full_screen.h"
#include "host/host_state.h"
#include "host/plugin_entry.h"
#include "pipeline/frame_handoff.h"
#include "raster/drawing.h"
#include "settings/plugin_settings.h"
#include "ui/text_overlays.h"
#include "ui/win32/gdi_overlays.h"

namespace {

RECT ToRect(const PictureRect& rect) {
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

HDC ContextDC(void* context) {
  return static_cast<HDC>(context);
}

// The finished picture (width x height) goes to the full-screen display, or with the title,
// help page and message overlays to dc.
int ShowPicture(void* context, const PictureRect& rect, int width, int height) {
  if (Plugin.FullScreenActive) return ShowFullScreenFrame(ToRect(rect));
  const RECT picture = {0, 0, width, height};
  HDC surface = static_cast<HDC>(GetDrawSurfaceDC());
  DrawTitleOverlay(surface, picture);
  if (IsHelpVisible()) {
    DrawAboutScreen(surface, Plugin.Instance, picture, 0);
    DrawHelpPage(surface);
  }
  BlitDrawSurface(context, 0, 0, width, height);
  DrawMessageOverlay(ContextDC(context), picture);
  return 0;
}

void DrawAbout(void* context, const PictureRect& rect, bool clear) {
  DrawAboutScreen(ContextDC(context), Plugin.Instance, ToRect(rect), clear ? 1 : 0);
}

}  // namespace

int RenderFrame(winampVisModule* module, HDC dc, int fromPaint) {
  try {
    const int answer = static_cast<int>(AskHost(kIpcIsPlaying));
    SetPlaying(answer == 1 && !fromPaint);
    PictureRect rect{0, 0, PluginSettings.fs_width, PluginSettings.fs_height};
    if (!Plugin.FullScreenActive) {
      RECT client = {0, 0, 0, 0};
      if (Plugin.VisWindow) GetClientRect(Plugin.VisWindow, &client);
      rect = PictureRect{client.left, client.top, client.right, client.bottom};
    }
    if (Plugin.LeaveFullScreenPending) {
      SwitchFullScreen(0);
      return 0;
    }
    HostAudio audio;
    if (module != nullptr) {
      audio.spectrum = module->spectrumData;
      audio.waveform = const_cast<const char(*)[kHostSampleCount]>(module->waveformData);
    }
    FrameShowSteps steps;
    steps.context = dc;
    steps.showPicture = ShowPicture;
    steps.drawAboutScreen = DrawAbout;
    return HandOffFrame(Plugin.IsPlaying, rect, audio, steps);
  } catch (...) {
    return 0;
  }
}

int Render(winampVisModule* module) {
  try {
    if (Plugin.FullScreenActive) return RenderFrame(module, nullptr, 0);
    HWND window = Plugin.VisWindow;
    if (window == nullptr) return 0;  // Init failed or Quit ran: nothing to draw on
    HDC dc = GetDC(window);
    const int result = RenderFrame(module, dc, 0);
    ReleaseDC(window, dc);
    return result;
  } catch (...) {
    return 0;
  }
}
