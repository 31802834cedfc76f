#include "pipeline/frame_loop.h"

#include "effects/scene.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "raster/drawing.h"

FrameLoopState Loop;

namespace {

constexpr uint32_t kRateWindowMs = 1000;
constexpr uint32_t kEffectLifeSeconds = 30;  // the change fires once the age exceeds this
constexpr uint32_t kAutoChangeHoldMs = 5000;
constexpr uint32_t kErrorClockSetBackMs = 15000;

void ReportSurfaceError(const char* text) {
  ReportError(text);
}

}  // namespace

bool InitialiseScene(int width, int height) {
  try {
    Requests.SceneInitFrame = 1;
    if (Loop.SceneReady) {
      Loop.SceneReady =
          0;  // cleared first: the host thread must not trust a surface being destroyed
      DestroyDrawSurface();
    }
    Loop.SceneWidth = width;
    Loop.SceneHeight = height;
    if (Probes.entering) Probes.entering(TurnStage::kSceneSetUp);
    SetUpScene(width, height);
    Requests.ReinitRequest = 1;
    Loop.ReinitFrame = 0;
    Loop.AutoChangeDue = 0;
    SetDrawSurfaceErrorReporter(ReportSurfaceError);
    if (CreateDrawSurface(width, height, 16) == 0) {
      ReportError("Render Scene InitDXK failed");
      // Every later turn retries; the sleep keeps that from spinning a processor.
      platform::SleepMilliseconds(1);
      return false;
    }
    Loop.SceneReady = 1;
  } catch (...) {
    platform::RethrowThreadCancellation();
    ReportError("Dxk initialization error");
  }
  return true;
}

namespace {

// Adjusts FrameDelay once a measuring window of more than a second has passed.
void MeasureRate() {
  const uint32_t elapsed = Loop.FrameTime - Loop.RateWindowStart;
  if (elapsed > kRateWindowMs) {
    const uint32_t measured = uint32_t(uint64_t(Loop.RateFrameCount) * 1000u / elapsed);
    const int64_t delay = int64_t(Loop.FrameDelay) + (int64_t(measured) - Loop.TargetFrameRate);
    Loop.FrameDelay = delay < 0 ? 0 : delay > INT32_MAX ? INT32_MAX : int(delay);
    Loop.RateWindowStart = platform::TickCount();
    Loop.RateFrameCount = 0;
  }
  ++Loop.RateFrameCount;
}

void TestAutoChange() {
  if (Loop.AutoChangeHold) {
    if (uint32_t(Loop.FrameTime - Loop.HoldStart) <= kAutoChangeHoldMs) return;
    Loop.AutoChangeHold = 0;
  }
  if (uint32_t(Loop.FrameTime - Loop.EffectStartTime) / 1000u > kEffectLifeSeconds) {
    Loop.HoldStart = Loop.FrameTime;
    Loop.AutoChangeHold = 1;
    Loop.AutoChangeDue = 1;
  }
}

void CarryOutRequests() {
  if (Loop.AutoChangeDue || Loop.ReinitFrame) {
    // A rebuild for a new size keeps the effect and its clock.
    if (!Requests.SceneInitFrame)
      Loop.EffectStartTime = Loop.FrameTime - (Loop.ReinitFrame ? kErrorClockSetBackMs : 0);
    RequestNewEffect();
    Loop.AutoChangeDue = 0;
  }
  Loop.ReinitFrame = 0;
  if (Requests.NewEffectRequest || Requests.ChangeDrawingRequest) {
    ChooseNewEffect();
    ++Loop.EffectChangeCount;
    Requests.NewEffectRequest = 0;
    Requests.ChangeDrawingRequest = 0;
  }
  Requests.SceneInitFrame = 0;
}

}  // namespace

void DrawSceneFrame() {
  AnalyseAudioFrame();
  if (Scene.emitterOverlay) DrawOverlayPass(kModeEmitterSwarmCentre);
  try {
    if (Probes.entering) Probes.entering(TurnStage::kDrawScene);
    DrawScene();
  } catch (...) {
    platform::RethrowThreadCancellation();
    ReportError("DrawSW error");
  }
  // Faults in the extra passes end the frame; the draw thread reports them.
  if (Probes.entering) Probes.entering(TurnStage::kExtraPasses);
  if (Scene.sparkFanEnabled) DrawSparkFan();
  if (Scene.particleBurstActive) DrawParticleBurst();
  if (Scene.starburstActive) DrawOverlayPass(kModeStarburst);
}

FrameStage RunFrameTurn(const PictureRect& target, void (*handOver)(void*), void* context) {
  const int width = target.right - target.left;
  const int height = target.bottom - target.top;
  if (!Loop.SceneReady || Loop.SceneWidth != width || Loop.SceneHeight != height) {
    if (!InitialiseScene(width, height)) return FrameStage::kEnded;
  }

  Loop.FrameTime = platform::TickCount();
  if (uint32_t(Loop.FrameTime - Loop.LastFrameTime) < uint32_t(Loop.FrameDelay)) {
    platform::SleepMilliseconds(1);
    return FrameStage::kEnded;
  }
  Loop.LastFrameTime = platform::TickCount();
  MeasureRate();
  TestAutoChange();

  // A re-initialised frame goes straight on to the next one without waiting for the host. It
  // is not handed over either: a frame signalled as done while the loop draws on would let the
  // host show and refill what is being drawn. So every done frame meets exactly one request.
  FrameStage stage = FrameStage::kHandedOver;
  if (Requests.ReinitRequest) {
    Loop.ReinitFrame = 1;
    Requests.ReinitRequest = 0;
    stage = FrameStage::kRedrawn;
  }

  DrawSceneFrame();
  if (stage == FrameStage::kHandedOver) handOver(context);
  CarryOutRequests();
  return stage;
}

void DrawOverlayPass(int mode) {
  // Restores the mode even when the pass throws, so a fault cannot leave an overlay-only
  // drawing behind as the current effect.
  struct Restore {
    int saved = Scene.DrawingMode;
    ~Restore() {
      Scene.DrawingMode = saved;
      Scene.OverlayPass = 0;
    }
  } restore;
  Scene.DrawingMode = mode;
  Scene.OverlayPass = 1;
  DrawScene();
}

void ReleaseScene() {
  if (Loop.SceneReady) {
    Loop.SceneReady = 0;
    DestroyDrawSurface();
  }
  Loop.SceneWidth = 0;
  Loop.SceneHeight = 0;
}

void ResetFrameLoopState() {
  ReleaseScene();
  Loop = FrameLoopState{};
  Requests = FrameRequests{};
  Probes = FrameLoopProbes{};
}
