// The frame loop on the test's thread: each frame finds its samples already requested, so the
// hand-off wait returns at once, and DrawThread.FrameDoneEvent tells whether the frame was drawn.
#include "pipeline/frame_loop.h"

#include <gtest/gtest.h>

#include "effects/scene.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "platform/lockstep_clock.h"
#include "raster/drawing.h"

namespace {

constexpr PictureRect kPicture{0, 0, 32, 24};
constexpr uint32_t kBoot = 100000;  // an uptime past the first 31 s

class FrameLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameLoopState();
    DrawThread.FrameRequestEvent = platform::OpenAutoResetEvent(kFrameRequestEventName);
    DrawThread.FrameDoneEvent = platform::OpenAutoResetEvent(kFrameDoneEventName);
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
    clock.SetNow(at);
    platform::SignalEvent(DrawThread.FrameRequestEvent);
    const uint32_t last_frame_time = Loop.LastFrameTime;
    RunFrame(picture);
    const bool handed_over = platform::WaitEvent(DrawThread.FrameDoneEvent, 0);
    return handed_over || Loop.LastFrameTime != last_frame_time;
  }

  // A running effect: first frame done, effect clock at `start`, no hold.
  void SettleAt(uint32_t start) {
    ASSERT_TRUE(Frame(start));
    Loop.EffectStartTime = start;
    Loop.AutoChangeHold = 0;
  }

  // Frames every `spacing` ms from `from` (exclusive) up to `to` (inclusive); returns the last
  // time.
  uint32_t FramesEvery(uint32_t spacing, uint32_t from, uint32_t to) {
    for (uint32_t t = from + spacing; t - from <= to - from; t += spacing)
      EXPECT_TRUE(Frame(t)) << t;
    return to;
  }

  platform::LockstepClock clock{0};
};

TEST_F(FrameLoopTest, FrameDelayFollowsTheMeasuredRateOnePerFrameAndNeverGoesNegative) {
  ASSERT_TRUE(Frame(kBoot));  // closes the window left from load: 0 fps, clamped to 0
  EXPECT_EQ(Loop.FrameDelay, 0);
  uint32_t start = kBoot;

  // 41 frames 25 ms apart, then the window closes at 1025 ms: 40 per second.
  for (int delay : {10, 20}) {
    FramesEvery(25, start, start + 1000);
    ASSERT_TRUE(Frame(start + 1025));
    EXPECT_EQ(Loop.FrameDelay, delay);
    start += 1025;
  }
  // 21 frames 50 ms apart, closing at 1050 ms: 20 per second.
  for (int delay : {10, 0, 0}) {
    FramesEvery(50, start, start + 1000);
    ASSERT_TRUE(Frame(start + 1050));
    EXPECT_EQ(Loop.FrameDelay, delay);
    start += 1050;
  }
}

TEST_F(FrameLoopTest, TheMeasuringWindowClosesOnlyAfterMoreThanOneSecond) {
  ASSERT_TRUE(Frame(kBoot));
  ASSERT_EQ(Loop.RateWindowStart, kBoot);
  ASSERT_TRUE(Frame(kBoot + 1000));
  EXPECT_EQ(Loop.RateWindowStart, kBoot);
  EXPECT_EQ(Loop.RateFrameCount, 2u);
  ASSERT_TRUE(Frame(kBoot + 1001));
  EXPECT_EQ(Loop.RateWindowStart, kBoot + 1001);
  EXPECT_EQ(Loop.RateFrameCount, 1u);
}

TEST_F(FrameLoopTest, AFrameNotYetDueSleepsOneMillisecondAndHandsNothingOver) {
  ASSERT_TRUE(Frame(kBoot));
  Loop.FrameDelay = 20;
  EXPECT_FALSE(Frame(kBoot + 19));
  EXPECT_EQ(clock.Now(), kBoot + 20);
  EXPECT_EQ(Loop.LastFrameTime, kBoot);
  EXPECT_TRUE(Frame(kBoot + 20));
}

TEST_F(FrameLoopTest, TheEffectChangesByItselfAtAnAgeOf31000msAlsoAcrossTheTickWrap) {
  for (uint32_t start : {kBoot, 0xFFFFFFFFu - 20000u}) {
    SettleAt(start);
    const uint32_t changes = Loop.EffectChangeCount;
    ASSERT_TRUE(Frame(start + 30999));
    EXPECT_EQ(Loop.EffectChangeCount, changes);
    EXPECT_EQ(Loop.AutoChangeHold, 0);
    ASSERT_TRUE(Frame(start + 31000));
    EXPECT_EQ(Loop.EffectChangeCount, changes + 1);
    EXPECT_EQ(Loop.EffectStartTime, start + 31000);
    EXPECT_EQ(Loop.AutoChangeHold, 1);
    EXPECT_EQ(Loop.HoldStart, start + 31000);
  }
}

TEST_F(FrameLoopTest, TheHoldSkipsTheTestFor5000msAfterItFired) {
  // At the first start the clock is 0: the test fires, the scene initialisation blocks it, and
  // the change comes only once the hold has passed.
  ASSERT_TRUE(Frame(kBoot));
  EXPECT_EQ(Loop.AutoChangeHold, 1);
  EXPECT_EQ(Loop.EffectChangeCount, 0u);
  EXPECT_EQ(Loop.EffectStartTime, 0u);
  ASSERT_TRUE(Frame(kBoot + 5000));
  EXPECT_EQ(Loop.EffectChangeCount, 0u);
  ASSERT_TRUE(Frame(kBoot + 5001));
  EXPECT_EQ(Loop.EffectChangeCount, 1u);
  EXPECT_EQ(Loop.EffectStartTime, kBoot + 5001);
}

TEST_F(FrameLoopTest, FramesRunOnThroughTheTickWrap) {
  const uint32_t start = 0xFFFFFFFFu - 999u;  // the count wraps 1000 ms in
  ASSERT_TRUE(Frame(start));
  FramesEvery(25, start, start + 2000);  // every frame drawn: the delay stays below 25
  EXPECT_EQ(Loop.FrameDelay, 10);        // the window across the wrap measured 40 per second
  EXPECT_EQ(Loop.LastFrameTime, start + 2000);
}

TEST_F(FrameLoopTest, AfterAnErrorReportANewEffectStartsWithItsClock15sBack) {
  SettleAt(kBoot);
  const uint32_t changes = Loop.EffectChangeCount;
  ReportError("Dxk Blt error");
  ASSERT_TRUE(Frame(kBoot + 100));
  EXPECT_EQ(Loop.EffectChangeCount, changes + 1);
  EXPECT_EQ(Loop.EffectStartTime, kBoot + 100 - 15000);
  EXPECT_EQ(Requests.ReinitRequest, 0);
  EXPECT_EQ(Loop.ReinitFrame, 0);
  // So the next automatic change comes 16 s later.
  ASSERT_TRUE(Frame(kBoot + 100 + 15999));
  EXPECT_EQ(Loop.EffectChangeCount, changes + 1);
  ASSERT_TRUE(Frame(kBoot + 100 + 16000));
  EXPECT_EQ(Loop.EffectChangeCount, changes + 2);
}

TEST_F(FrameLoopTest, AResizeRebuildsTheSceneButKeepsTheEffectAndItsClock) {
  SettleAt(kBoot);
  Loop.EffectStartTime = kBoot - 40000;  // the automatic change is due as well
  const uint32_t changes = Loop.EffectChangeCount;
  ASSERT_TRUE(Frame(kBoot + 100, PictureRect{0, 0, 40, 30}));
  EXPECT_EQ(Loop.SceneWidth, 40);
  EXPECT_EQ(Loop.SceneHeight, 30);
  EXPECT_EQ(Loop.SceneReady, 1);
  EXPECT_EQ(IsDrawSurfaceReady(), 1);
  EXPECT_EQ(Loop.EffectChangeCount, changes);
  EXPECT_EQ(Loop.EffectStartTime, kBoot - 40000);
  EXPECT_EQ(Requests.SceneInitFrame, 0);
  EXPECT_EQ(Requests.NewEffectRequest, 0);
}

TEST_F(FrameLoopTest, RequestsMadeDuringASceneInitialisationAreRefused) {
  Requests.SceneInitFrame = 1;
  RequestNewEffect();
  EXPECT_EQ(Requests.NewEffectRequest, 0);
  Requests.SceneInitFrame = 0;
  Requests.EffectLocked = 1;
  RequestNewEffect();
  EXPECT_EQ(Requests.NewEffectRequest, 0);
  RequestChangeDrawing();
  EXPECT_EQ(Requests.ChangeDrawingRequest, 1);
}

TEST_F(FrameLoopTest, ALockedEffectSurvivesAutomaticChangesAndErrorsButNotChangeDrawing) {
  SettleAt(kBoot);
  Requests.EffectLocked = 1;
  const uint32_t changes = Loop.EffectChangeCount;
  ASSERT_TRUE(Frame(kBoot + 31000));
  EXPECT_EQ(Loop.EffectChangeCount, changes);
  EXPECT_EQ(Loop.EffectStartTime, kBoot + 31000);  // only the clock restarts
  ReportError("DrawSW error");
  ASSERT_TRUE(Frame(kBoot + 31100));
  EXPECT_EQ(Loop.EffectChangeCount, changes);
  RequestChangeDrawing();
  ASSERT_TRUE(Frame(kBoot + 31200));
  EXPECT_EQ(Loop.EffectChangeCount, changes + 1);
  EXPECT_EQ(Requests.ChangeDrawingRequest, 0);
}

TEST_F(FrameLoopTest, AnOverlayPassPutsTheDrawingModeBack) {
  SettleAt(kBoot);
  DrawingMode = kModeScatterClouds;
  DrawOverlayPass(kModeStarburst);
  EXPECT_EQ(DrawingMode, kModeScatterClouds);
  EXPECT_EQ(OverlayPass, 0);
}

TEST_F(FrameLoopTest, ReleasingTheSceneMakesTheNextFrameRebuildIt) {
  SettleAt(kBoot);
  ReleaseScene();
  EXPECT_EQ(IsDrawSurfaceReady(), 0);
  EXPECT_EQ(Loop.SceneWidth, 0);
  ASSERT_TRUE(Frame(kBoot + 100));
  EXPECT_EQ(Loop.SceneReady, 1);
  EXPECT_EQ(Loop.SceneWidth, 32);
}

}  // namespace

TEST_F(FrameLoopTest, AReinitialisedFrameNeitherHandsOverNorWaitsButTheNextFrameDoes) {
  clock.SetNow(kBoot);
  RunFrame(kPicture);  // builds the scene: a re-initialised frame
  EXPECT_EQ(Loop.SceneReady, 1);
  EXPECT_FALSE(platform::WaitEvent(DrawThread.FrameDoneEvent, 0));  // the host gets nothing to show
  EXPECT_FALSE(
      platform::WaitEvent(DrawThread.FrameRequestEvent, 0));  // and is not asked for samples

  clock.SetNow(kBoot + 40);
  platform::SignalEvent(DrawThread.FrameRequestEvent);  // the host's request, already there
  RunFrame(kPicture);
  EXPECT_TRUE(platform::WaitEvent(DrawThread.FrameDoneEvent, 0));
  EXPECT_FALSE(
      platform::WaitEvent(DrawThread.FrameRequestEvent, 0));  // consumed by the hand-off wait
}
