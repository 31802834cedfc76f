#include "pipeline/frame_handoff.h"

#include "pipeline/draw_thread.h"
#include "pipeline/frame_loop.h"
#include "pipeline/requests.h"
#include "raster/drawing.h"

int SamplesWanted = 0;

namespace {

// Whether this host call took a finished frame from the draw thread. Only then may it ask for
// the next one: a request without a taken frame would let the draw thread draw into the picture
// while the host shows it and copies samples.
bool frame_taken = false;

void DrawAbout(const FrameShowSteps& steps, const PictureRect& rect) {
  if (steps.drawAboutScreen != nullptr) steps.drawAboutScreen(steps.context, rect, true);
}

}  // namespace

int PresentFrame(const PictureRect& rect, const FrameShowSteps& steps) {
  SetTargetRect(rect);
  const int width = SceneWidth;
  const int height = SceneHeight;
  // SceneReady first: once it reads 1, the surface it stands for is complete.
  if (!SceneReady || width != rect.right || height != rect.bottom || !IsDrawSurfaceReady()) {
    // The draw thread is rebuilding for a new size and may be drawing right now, so no samples
    // may be copied until a finished frame has been taken again. A frame finished at the old
    // size is taken without showing it, so the thread can go on and rebuild.
    SamplesWanted = 0;
    frame_taken = platform::WaitEvent(FrameDoneEvent, 0);
    return 0;
  }
  SamplesWanted = platform::WaitEvent(FrameDoneEvent, kFrameDoneWaitMs) ? 1 : 0;
  frame_taken = SamplesWanted != 0;
  if (!SamplesWanted) return 0;
  if (steps.showPicture == nullptr) return 0;
  try {
    return steps.showPicture(steps.context, rect, width, height);
  } catch (...) {
    ReportError("Dxk Blt error", "", "");
    return 0;
  }
}

int HandOffFrame(int playing, const PictureRect& rect, const HostAudio& audio,
                 const FrameShowSteps& steps) {
  if (DrawThreadHandle == nullptr) {
    if (!StartDrawThread()) {
      DrawAbout(steps, rect);
      return kHandOffStartFailed;
    }
    if (!playing) DrawAbout(steps, rect);
    return 0;
  }
  if (FirstRenderPending) {
    // The first picture after every start of the thread is the about screen.
    DrawAbout(steps, rect);
    ResumeDrawThread();
    FirstRenderPending = 0;
    return 0;
  }
  if (!playing) {
    DrawAbout(steps, rect);
    return 0;
  }
  try {
    frame_taken = false;
    PresentFrame(rect, steps);
    if (SamplesWanted && audio.spectrum != nullptr && audio.waveform != nullptr) {
      CopyHostSamples(audio.spectrum, audio.waveform);
    }
    if (frame_taken) platform::SignalEvent(FrameRequestEvent);
  } catch (...) {
    ReportError("Draw rendered error", "", "");
  }
  return 0;
}

void ShutDownDrawing() {
  StopDrawThread();
  ReleaseScene();
  SetTargetRect(PictureRect{});
}
