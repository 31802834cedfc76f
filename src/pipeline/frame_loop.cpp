#include "pipeline/frame_loop.h"

#include "effects/scene.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "platform/event.h"
#include "platform/thread.h"
#include "raster/drawing.h"

std::atomic<int> SceneWidth{0};
std::atomic<int> SceneHeight{0};
std::atomic<int> SceneReady{0};

uint32_t FrameTime = 0;
uint32_t LastFrameTime = 0;
int FrameDelay = 0;
int TargetFrameRate = 30;
uint32_t RateWindowStart = 0;
uint32_t RateFrameCount = 0;
uint32_t EffectStartTime = 0;
int AutoChangeHold = 0;
uint32_t HoldStart = 0;
int AutoChangeDue = 0;
int ReinitFrame = 0;
uint32_t EffectChangeCount = 0;

namespace {

constexpr uint32_t kRateWindowMs = 1000;
constexpr uint32_t kEffectLifeSeconds = 30;  // the change fires once the age exceeds this
constexpr uint32_t kAutoChangeHoldMs = 5000;
constexpr uint32_t kErrorClockSetBackMs = 15000;

void ReportSurfaceError(const char* text) {
  ReportError(text, "", "");
}

// Returns false when the frame must end here (the surface could not be made).
bool InitialiseScene(int width, int height) {
  try {
    SceneInitFrame = 1;
    if (SceneReady) {
      SceneReady = 0;  // cleared first: the host thread must not trust a surface being destroyed
      DestroyDrawSurface();
    }
    SceneWidth = width;
    SceneHeight = height;
    SetScenePictureSize(width, height);
    InitDirectionTable();
    FillRandomTables();
    ResetEffectState();
    InitEmitters();
    ReinitRequest = 1;
    ReinitFrame = 0;
    AutoChangeDue = 0;
    SetDrawSurfaceErrorReporter(ReportSurfaceError);
    if (CreateDrawSurface(width, height, 16) == 0) {
      ReportError("Render Scene InitDXK failed", "", "");
      // Every later turn retries; the sleep keeps that from spinning a processor.
      platform::SleepMilliseconds(1);
      return false;
    }
    SceneReady = 1;
  } catch (...) {
    platform::RethrowThreadCancellation();
    ReportError("Dxk initialization error", "", "");
  }
  return true;
}

// Adjusts FrameDelay once a measuring window of more than a second has passed.
void MeasureRate() {
  const uint32_t elapsed = FrameTime - RateWindowStart;
  if (elapsed > kRateWindowMs) {
    const uint32_t measured = uint32_t(uint64_t(RateFrameCount) * 1000u / elapsed);
    const int64_t delay = int64_t(FrameDelay) + (int64_t(measured) - TargetFrameRate);
    FrameDelay = delay < 0 ? 0 : delay > INT32_MAX ? INT32_MAX : int(delay);
    RateWindowStart = platform::TickCount();
    RateFrameCount = 0;
  }
  ++RateFrameCount;
}

void TestAutoChange() {
  if (AutoChangeHold) {
    if (uint32_t(FrameTime - HoldStart) <= kAutoChangeHoldMs) return;
    AutoChangeHold = 0;
  }
  if (uint32_t(FrameTime - EffectStartTime) / 1000u > kEffectLifeSeconds) {
    HoldStart = FrameTime;
    AutoChangeHold = 1;
    AutoChangeDue = 1;
  }
}

void DrawFrame() {
  AnalyseAudioFrame();
  if (emitterOverlay) DrawOverlayPass(kModeEmitterSwarmCentre);
  try {
    DrawScene();
  } catch (...) {
    platform::RethrowThreadCancellation();
    ReportError("DrawSW error", "", "");
  }
  // Faults in the extra passes end the frame; the draw thread reports them.
  if (sparkFanEnabled) DrawSparkFan();
  if (particleBurstActive) DrawParticleBurst();
  if (starburstActive) DrawOverlayPass(kModeStarburst);
}

void CarryOutRequests() {
  if (AutoChangeDue || ReinitFrame) {
    // A rebuild for a new size keeps the effect and its clock.
    if (!SceneInitFrame) EffectStartTime = FrameTime - (ReinitFrame ? kErrorClockSetBackMs : 0);
    RequestNewEffect();
    AutoChangeDue = 0;
  }
  ReinitFrame = 0;
  if (NewEffectRequest || ChangeDrawingRequest) {
    ChooseNewEffect();
    ++EffectChangeCount;
    NewEffectRequest = 0;
    ChangeDrawingRequest = 0;
  }
  SceneInitFrame = 0;
}

}  // namespace

void RunFrame(const PictureRect& target) {
  const int width = target.right - target.left;
  const int height = target.bottom - target.top;
  if (!SceneReady || SceneWidth != width || SceneHeight != height) {
    if (!InitialiseScene(width, height)) return;
  }

  FrameTime = platform::TickCount();
  if (uint32_t(FrameTime - LastFrameTime) < uint32_t(FrameDelay)) {
    platform::SleepMilliseconds(1);
    return;
  }
  LastFrameTime = platform::TickCount();
  MeasureRate();
  TestAutoChange();

  // A re-initialised frame goes straight on to the next one without waiting for the host. It
  // is not handed over either: a frame signalled as done while the loop draws on would let the
  // host show and refill what is being drawn. So every done frame meets exactly one request.
  bool hand_over = true;
  if (ReinitRequest) {
    ReinitFrame = 1;
    ReinitRequest = 0;
    hand_over = false;
  }

  DrawFrame();

  if (hand_over) {
    platform::SignalEvent(FrameDoneEvent);
    platform::WaitEvent(FrameRequestEvent, platform::kWaitForever);
  }

  CarryOutRequests();
}

void DrawOverlayPass(int mode) {
  // Restores the mode even when the pass throws, so a fault cannot leave an overlay-only
  // drawing behind as the current effect.
  struct Restore {
    int saved = DrawingMode;
    ~Restore() {
      DrawingMode = saved;
      OverlayPass = 0;
    }
  } restore;
  DrawingMode = mode;
  OverlayPass = 1;
  DrawScene();
}

void ReleaseScene() {
  if (SceneReady) {
    SceneReady = 0;
    DestroyDrawSurface();
  }
  SceneWidth = 0;
  SceneHeight = 0;
}

void ResetFrameLoopState() {
  ReleaseScene();
  FrameTime = LastFrameTime = 0;
  FrameDelay = 0;
  TargetFrameRate = 30;
  RateWindowStart = RateFrameCount = 0;
  EffectStartTime = 0;
  AutoChangeHold = 0;
  HoldStart = 0;
  AutoChangeDue = ReinitFrame = 0;
  EffectChangeCount = 0;
  ReinitRequest = NewEffectRequest = ChangeDrawingRequest = EffectLocked = SceneInitFrame = 0;
}
