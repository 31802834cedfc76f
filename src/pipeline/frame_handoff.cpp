#include "pipeline/frame_handoff.h"

#include "effects/scene.h"
#include "pipeline/draw_thread.h"
#include "pipeline/frame_loop.h"
#include "pipeline/requests.h"
#include "raster/drawing.h"

HandOffState HandOff;

namespace {

void DrawAbout(const FrameShowSteps& steps, const PictureRect& rect) {
  if (steps.drawAboutScreen != nullptr) steps.drawAboutScreen(steps.context, rect, true);
}

// A taken frame is always followed by the request for the next one, however the call ends: a
// draw thread left waiting would never draw again.
struct NextFrameRequest {
  ~NextFrameRequest() {
    if (HandOff.SamplesWanted) platform::SignalEvent(DrawThread.FrameRequestEvent);
  }
};

}  // namespace

int PresentFrame(const PictureRect& rect, const FrameShowSteps& steps) {
  SetTargetRect(rect);
  const int width = Loop.SceneWidth;
  const int height = Loop.SceneHeight;
  // SceneReady first: once it reads 1, the surface it stands for is complete.
  if (!Loop.SceneReady || width != rect.right || height != rect.bottom || !IsDrawSurfaceReady()) {
    // The draw thread is rebuilding for a new size and may be drawing right now, so nothing may
    // be shown or waited for. A frame finished at the old size is taken without showing it.
    HandOff.SamplesWanted = platform::WaitEvent(DrawThread.FrameDoneEvent, 0) ? 1 : 0;
    return 0;
  }
  HandOff.SamplesWanted = platform::WaitEvent(DrawThread.FrameDoneEvent, kFrameDoneWaitMs) ? 1 : 0;
  if (!HandOff.SamplesWanted) return 0;
  if (steps.showPicture == nullptr) return 0;
  try {
    return steps.showPicture(steps.context, rect, width, height);
  } catch (...) {
    ReportError("Dxk Blt error");
    return 0;
  }
}

int HandOffFrame(int playing, const PictureRect& rect, const HostAudio& audio,
                 const FrameShowSteps& steps) {
  HandOff.SamplesWanted = 0;
  if (DrawThread.DrawThreadHandle == nullptr) {
    if (!StartDrawThread()) {
      DrawAbout(steps, rect);
      return kHandOffStartFailed;
    }
    if (!playing) DrawAbout(steps, rect);
    return 0;
  }
  if (DrawThread.FirstRenderPending) {
    // The first picture after every start of the thread is the about screen.
    DrawAbout(steps, rect);
    ResumeDrawThread();
    DrawThread.FirstRenderPending = 0;
    return 0;
  }
  if (!playing) {
    DrawAbout(steps, rect);
    return 0;
  }
  const NextFrameRequest request;
  try {
    PresentFrame(rect, steps);
    if (HandOff.SamplesWanted && audio.spectrum != nullptr && audio.waveform != nullptr) {
      CopyHostSamples(audio.spectrum, audio.waveform);
    }
  } catch (...) {
    ReportError("Draw rendered error");
  }
  return 0;
}

void ShutDownDrawing() {
  StopDrawThread();
  ReleaseScene();
  SetTargetRect(PictureRect{});
  HandOff = HandOffState{};
}

void ResetDrawing() {
  ShutDownDrawing();
  DrawThread = DrawThreadState{};
  ResetFrameLoopState();
  ResetSceneToLoadState();
}
