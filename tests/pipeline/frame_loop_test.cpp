// The frame loop on the test's thread: each frame finds its samples already requested, so the
// hand-off wait returns at once, and FrameDoneEvent tells whether the frame was drawn.
#include "pipeline/frame_loop.h"

#include <gtest/gtest.h>

#include "effects/scene.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "pipeline/step_clock.h"
#include "raster/drawing.h"

namespace {

constexpr PictureRect kPicture{0, 0, 32, 24};
constexpr uint32_t kBoot = 100000;  // an uptime past the first 31 s

class FrameLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameLoopState();
    FrameRequestEvent = platform::OpenAutoResetEvent(kFrameRequestEventName);
    FrameDoneEvent = platform::OpenAutoResetEvent(kFrameDoneEventName);
    platform::SetTimeSource(&clock);
  }
  void TearDown() override {
    platform::SetTimeSource(nullptr);
    StopDrawThread();  // no thread: closes the events
    ResetFrameLoopState();
  }

  // Runs one frame at `at`; true when it was drawn: handed over, or re-initialised (such a
  // frame goes on to the next without a hand-off).
  bool Frame(uint32_t at, PictureRect picture = kPicture) {
    clock.now = at;
    platform::SignalEvent(FrameRequestEvent);
    const uint32_t last_frame_time = LastFrameTime;
    RunFrame(picture);
    const bool handed_over = platform::WaitEvent(FrameDoneEvent, 0);
    return handed_over || LastFrameTime != last_frame_time;
  }

  // A running effect: first frame done, effect clock at `start`, no hold.
  void SettleAt(uint32_t start) {
    ASSERT_TRUE(Frame(start));
    EffectStartTime = start;
    AutoChangeHold = 0;
  }

  // Frames every `spacing` ms from `from` (exclusive) up to `to` (inclusive); returns the last
  // time.
  uint32_t FramesEvery(uint32_t spacing, uint32_t from, uint32_t to) {
    for (uint32_t t = from + spacing; t - from <= to - from; t += spacing)
      EXPECT_TRUE(Frame(t)) << t;
    return to;
  }

  StepClock clock;
};

TEST_F(FrameLoop, FrameDelayFollowsTheMeasuredRateOnePerFrameAndNeverGoesNegative) {
  ASSERT_TRUE(Frame(kBoot));  // closes the window left from load: 0 fps, clamped to 0
  EXPECT_EQ(FrameDelay, 0);
  uint32_t start = kBoot;

  // 41 frames 25 ms apart, then the window closes at 1025 ms: 40 per second.
  for (int delay : {10, 20}) {
    FramesEvery(25, start, start + 1000);
    ASSERT_TRUE(Frame(start + 1025));
    EXPECT_EQ(FrameDelay, delay);
    start += 1025;
  }
  // 21 frames 50 ms apart, closing at 1050 ms: 20 per second.
  for (int delay : {10, 0, 0}) {
    FramesEvery(50, start, start + 1000);
    ASSERT_TRUE(Frame(start + 1050));
    EXPECT_EQ(FrameDelay, delay);
    start += 1050;
  }
}

TEST_F(FrameLoop, TheMeasuringWindowClosesOnlyAfterMoreThanOneSecond) {
  ASSERT_TRUE(Frame(kBoot));
  ASSERT_EQ(RateWindowStart, kBoot);
  ASSERT_TRUE(Frame(kBoot + 1000));
  EXPECT_EQ(RateWindowStart, kBoot);
  EXPECT_EQ(RateFrameCount, 2u);
  ASSERT_TRUE(Frame(kBoot + 1001));
  EXPECT_EQ(RateWindowStart, kBoot + 1001);
  EXPECT_EQ(RateFrameCount, 1u);
}

TEST_F(FrameLoop, AFrameNotYetDueSleepsOneMillisecondAndHandsNothingOver) {
  ASSERT_TRUE(Frame(kBoot));
  FrameDelay = 20;
  EXPECT_FALSE(Frame(kBoot + 19));
  EXPECT_EQ(clock.now, kBoot + 20);
  EXPECT_EQ(LastFrameTime, kBoot);
  EXPECT_TRUE(Frame(kBoot + 20));
}

TEST_F(FrameLoop, TheEffectChangesByItselfAtAnAgeOf31000msAlsoAcrossTheTickWrap) {
  for (uint32_t start : {kBoot, 0xFFFFFFFFu - 20000u}) {
    SettleAt(start);
    const uint32_t changes = EffectChangeCount;
    ASSERT_TRUE(Frame(start + 30999));
    EXPECT_EQ(EffectChangeCount, changes);
    EXPECT_EQ(AutoChangeHold, 0);
    ASSERT_TRUE(Frame(start + 31000));
    EXPECT_EQ(EffectChangeCount, changes + 1);
    EXPECT_EQ(EffectStartTime, start + 31000);
    EXPECT_EQ(AutoChangeHold, 1);
    EXPECT_EQ(HoldStart, start + 31000);
  }
}

TEST_F(FrameLoop, TheHoldSkipsTheTestFor5000msAfterItFired) {
  // At the first start the clock is 0: the test fires, the scene initialisation blocks it, and
  // the change comes only once the hold has passed.
  ASSERT_TRUE(Frame(kBoot));
  EXPECT_EQ(AutoChangeHold, 1);
  EXPECT_EQ(EffectChangeCount, 0u);
  EXPECT_EQ(EffectStartTime, 0u);
  ASSERT_TRUE(Frame(kBoot + 5000));
  EXPECT_EQ(EffectChangeCount, 0u);
  ASSERT_TRUE(Frame(kBoot + 5001));
  EXPECT_EQ(EffectChangeCount, 1u);
  EXPECT_EQ(EffectStartTime, kBoot + 5001);
}

TEST_F(FrameLoop, FramesRunOnThroughTheTickWrap) {
  const uint32_t start = 0xFFFFFFFFu - 999u;  // the count wraps 1000 ms in
  ASSERT_TRUE(Frame(start));
  FramesEvery(25, start, start + 2000);  // every frame drawn: the delay stays below 25
  EXPECT_EQ(FrameDelay, 10);             // the window across the wrap measured 40 per second
  EXPECT_EQ(LastFrameTime, start + 2000);
}

TEST_F(FrameLoop, AfterAnErrorReportANewEffectStartsWithItsClock15sBack) {
  SettleAt(kBoot);
  const uint32_t changes = EffectChangeCount;
  ReportError("Dxk Blt error", "", "");
  ASSERT_TRUE(Frame(kBoot + 100));
  EXPECT_EQ(EffectChangeCount, changes + 1);
  EXPECT_EQ(EffectStartTime, kBoot + 100 - 15000);
  EXPECT_EQ(ReinitRequest, 0);
  EXPECT_EQ(ReinitFrame, 0);
  // So the next automatic change comes 16 s later.
  ASSERT_TRUE(Frame(kBoot + 100 + 15999));
  EXPECT_EQ(EffectChangeCount, changes + 1);
  ASSERT_TRUE(Frame(kBoot + 100 + 16000));
  EXPECT_EQ(EffectChangeCount, changes + 2);
}

TEST_F(FrameLoop, AResizeRebuildsTheSceneButKeepsTheEffectAndItsClock) {
  SettleAt(kBoot);
  EffectStartTime = kBoot - 40000;  // the automatic change is due as well
  const uint32_t changes = EffectChangeCount;
  ASSERT_TRUE(Frame(kBoot + 100, PictureRect{0, 0, 40, 30}));
  EXPECT_EQ(SceneWidth, 40);
  EXPECT_EQ(SceneHeight, 30);
  EXPECT_EQ(SceneReady, 1);
  EXPECT_EQ(IsDrawSurfaceReady(), 1);
  EXPECT_EQ(EffectChangeCount, changes);
  EXPECT_EQ(EffectStartTime, kBoot - 40000);
  EXPECT_EQ(SceneInitFrame, 0);
  EXPECT_EQ(NewEffectRequest, 0);
}

TEST_F(FrameLoop, RequestsMadeDuringASceneInitialisationAreRefused) {
  SceneInitFrame = 1;
  RequestNewEffect();
  EXPECT_EQ(NewEffectRequest, 0);
  SceneInitFrame = 0;
  EffectLocked = 1;
  RequestNewEffect();
  EXPECT_EQ(NewEffectRequest, 0);
  RequestChangeDrawing();
  EXPECT_EQ(ChangeDrawingRequest, 1);
}

TEST_F(FrameLoop, ALockedEffectSurvivesAutomaticChangesAndErrorsButNotChangeDrawing) {
  SettleAt(kBoot);
  EffectLocked = 1;
  const uint32_t changes = EffectChangeCount;
  ASSERT_TRUE(Frame(kBoot + 31000));
  EXPECT_EQ(EffectChangeCount, changes);
  EXPECT_EQ(EffectStartTime, kBoot + 31000);  // only the clock restarts
  ReportError("DrawSW error", "", "");
  ASSERT_TRUE(Frame(kBoot + 31100));
  EXPECT_EQ(EffectChangeCount, changes);
  RequestChangeDrawing();
  ASSERT_TRUE(Frame(kBoot + 31200));
  EXPECT_EQ(EffectChangeCount, changes + 1);
  EXPECT_EQ(ChangeDrawingRequest, 0);
}

TEST_F(FrameLoop, AnOverlayPassPutsTheDrawingModeBack) {
  SettleAt(kBoot);
  DrawingMode = kModeScatterClouds;
  DrawOverlayPass(kModeStarburst);
  EXPECT_EQ(DrawingMode, kModeScatterClouds);
  EXPECT_EQ(OverlayPass, 0);
}

TEST_F(FrameLoop, ReleasingTheSceneMakesTheNextFrameRebuildIt) {
  SettleAt(kBoot);
  ReleaseScene();
  EXPECT_EQ(IsDrawSurfaceReady(), 0);
  EXPECT_EQ(SceneWidth, 0);
  ASSERT_TRUE(Frame(kBoot + 100));
  EXPECT_EQ(SceneReady, 1);
  EXPECT_EQ(SceneWidth, 32);
}

}  // namespace

TEST_F(FrameLoop, AReinitialisedFrameNeitherHandsOverNorWaitsButTheNextFrameDoes) {
  clock.now = kBoot;
  RunFrame(kPicture);  // builds the scene: a re-initialised frame
  EXPECT_EQ(SceneReady, 1);
  EXPECT_FALSE(platform::WaitEvent(FrameDoneEvent, 0));     // the host gets nothing to show
  EXPECT_FALSE(platform::WaitEvent(FrameRequestEvent, 0));  // and is not asked for samples

  clock.now = kBoot + 40;
  platform::SignalEvent(FrameRequestEvent);  // the host's request, already there
  RunFrame(kPicture);
  EXPECT_TRUE(platform::WaitEvent(FrameDoneEvent, 0));
  EXPECT_FALSE(platform::WaitEvent(FrameRequestEvent, 0));  // consumed by the hand-off wait
}
