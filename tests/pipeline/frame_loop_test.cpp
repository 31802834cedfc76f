// The frame loop one turn at a time on the test's thread with a virtual clock: pacing, the effect
// clock, the requests and the failure paths. A surface that cannot be made is simulated by
// refusing the allocations that ask for no exception (the drawing surface is made that way).
#include "pipeline/frame_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "effects/scene.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "platform/lockstep_clock.h"
#include "raster/drawing.h"

namespace {
std::atomic<bool> refuseNothrowNew{false};
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (refuseNothrowNew) return nullptr;
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}

namespace {

constexpr PictureRect kPicture{0, 0, 32, 24};
constexpr uint32_t kBoot = 100000;  // an uptime past the first 31 s

// What the frame loop's probes saw; the next entry into `throwAt` throws.
struct Probed {
  std::vector<std::string> texts;
  std::vector<TurnStage> stages;
  std::optional<TurnStage> throwAt;
} probed;

void Enter(TurnStage stage) {
  probed.stages.push_back(stage);
  if (probed.throwAt == stage) {
    probed.throwAt.reset();
    throw std::runtime_error("probe");
  }
}

void CountHandOver(void* count) {
  ++*static_cast<int*>(count);
}

class FrameLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameLoopState();
    ResetSceneToLoadState();
    platform::SetTimeSource(&clock);
    probed = Probed{};
    Probes.reported = [](const char* text) { probed.texts.push_back(text); };
    Probes.entering = Enter;
  }
  void TearDown() override {
    refuseNothrowNew = false;
    platform::SetTimeSource(nullptr);
    ResetFrameLoopState();
  }

  FrameStage Turn(uint32_t at, PictureRect picture = kPicture) {
    clock.SetNow(at);
    return RunFrameTurn(picture, CountHandOver, &handOvers);
  }
  // True when the turn drew a frame (handed over, or re-initialised).
  bool Frame(uint32_t at, PictureRect picture = kPicture) {
    return Turn(at, picture) != FrameStage::kEnded;
  }

  // A running effect: first frame done, effect clock at `start`, no hold.
  void SettleAt(uint32_t start) {
    ASSERT_TRUE(Frame(start));
    Loop.EffectStartTime = start;
    Loop.AutoChangeHold = 0;
  }

  // Frames every `spacing` ms after `from` up to `to` (inclusive).
  void FramesEvery(uint32_t spacing, uint32_t from, uint32_t to) {
    for (uint32_t t = from + spacing; t - from <= to - from; t += spacing)
      EXPECT_TRUE(Frame(t)) << t;
  }

  platform::LockstepClock clock{kBoot};
  int handOvers = 0;
};

TEST_F(FrameLoopTest, FrameDelayFollowsTheMeasuredRateOnePerFrameAndNeverGoesNegative) {
  uint32_t start = 0xFFFFFFFFu - 1999u;  // the tick count wraps in the second window
  ASSERT_TRUE(Frame(start));             // closes the window left from load: 0 fps, clamped to 0
  EXPECT_EQ(Loop.FrameDelay, 0);
  // 41 frames 25 ms apart, then the window closes at 1025 ms: 40 per second. Then 21 frames 50 ms
  // apart, closing at 1050 ms: 20 per second.
  for (auto [spacing, delay] : {std::pair{25u, 10}, {25u, 20}, {50u, 10}, {50u, 0}, {50u, 0}}) {
    FramesEvery(spacing, start, start + 1000);
    ASSERT_TRUE(Frame(start + 1000 + spacing));
    EXPECT_EQ(Loop.FrameDelay, delay);
    start += 1000 + spacing;
  }
}

TEST_F(FrameLoopTest, TheMeasuringWindowClosesOnlyAfterMoreThanOneSecond) {
  ASSERT_TRUE(Frame(kBoot));
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
  ASSERT_TRUE(Frame(kBoot + 5000));
  EXPECT_EQ(Loop.EffectChangeCount, 0u);
  ASSERT_TRUE(Frame(kBoot + 5001));
  EXPECT_EQ(Loop.EffectChangeCount, 1u);
  EXPECT_EQ(Loop.EffectStartTime, kBoot + 5001);
}

TEST_F(FrameLoopTest, AfterAnErrorReportANewEffectStartsWithItsClock15sBack) {
  SettleAt(kBoot);
  const uint32_t changes = Loop.EffectChangeCount;
  ReportError("Dxk Blt error");
  EXPECT_EQ(Turn(kBoot + 100), FrameStage::kRedrawn);
  EXPECT_EQ(Loop.EffectChangeCount, changes + 1);
  EXPECT_EQ(Loop.EffectStartTime, kBoot + 100 - 15000);
  EXPECT_EQ(Requests.ReinitRequest, 0);
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
  EXPECT_EQ(IsDrawSurfaceReady(), 1);
  EXPECT_EQ(Loop.EffectChangeCount, changes);
  EXPECT_EQ(Loop.EffectStartTime, kBoot - 40000);
  EXPECT_EQ(Requests.SceneInitFrame, 0);
  EXPECT_EQ(Requests.NewEffectRequest, 0);
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

TEST_F(FrameLoopTest, ASurfaceThatCannotBeMadeEndsTheTurnAndEveryNextTurnRetries) {
  refuseNothrowNew = true;
  for (uint32_t at : {kBoot, kBoot + 40}) {
    EXPECT_EQ(Turn(at), FrameStage::kEnded);
    EXPECT_EQ(Loop.SceneReady, 0);
    EXPECT_EQ(Requests.SceneInitFrame, 1);  // stays set until a frame completes
    EXPECT_EQ(Loop.RateFrameCount, 0u);     // nothing past the scene check
    EXPECT_EQ(clock.Now(), at + 1);         // a 1 ms nap, not a spin
  }
  EXPECT_EQ(probed.texts, std::vector<std::string>(2, "Render Scene InitDXK failed"));
  refuseNothrowNew = false;
  EXPECT_EQ(Turn(kBoot + 80), FrameStage::kRedrawn);  // not handed over: it goes straight on
  EXPECT_EQ(Loop.SceneReady, 1);
  EXPECT_EQ(Requests.SceneInitFrame, 0);
  EXPECT_EQ(Turn(kBoot + 120), FrameStage::kHandedOver);
  EXPECT_EQ(handOvers, 1);
}

TEST_F(FrameLoopTest, AFaultInTheSceneSetUpOrTheSceneIsReportedAndTheFrameGoesOn) {
  // A set-up fault leaves no surface but the frame is drawn, and the next turn builds again; a
  // fault in the scene still leaves the extra passes and the hand-over.
  using enum TurnStage;
  const struct {
    TurnStage stage;
    PictureRect picture;
    const char* text;
    FrameStage result;
    std::vector<TurnStage> stages;
  } cases[] = {
      {kSceneSetUp,
       {0, 0, 40, 30},
       "Dxk initialization error",
       FrameStage::kRedrawn,
       {kSceneSetUp, kDrawScene, kExtraPasses}},
      {kDrawScene, kPicture, "DrawSW error", FrameStage::kHandedOver, {kDrawScene, kExtraPasses}},
  };
  for (const auto& c : cases) {
    SetUp();
    ASSERT_TRUE(Frame(kBoot));
    probed.stages.clear();
    probed.throwAt = c.stage;
    EXPECT_EQ(Turn(kBoot + 40, c.picture), c.result);
    EXPECT_EQ(probed.texts, std::vector<std::string>{c.text});
    EXPECT_EQ(probed.stages, c.stages);
    EXPECT_EQ(handOvers, c.result == FrameStage::kHandedOver ? 1 : 0);
    ASSERT_TRUE(Frame(kBoot + 80, c.picture));
    EXPECT_EQ(IsDrawSurfaceReady(), 1);
    EXPECT_EQ(Loop.SceneWidth, c.picture.right);
    handOvers = 0;
  }
}

TEST_F(FrameLoopTest, TheDrawThreadReportsAFaultInAFrameAndDrawsOn) {
  // The thread's body on this thread: the first frame throws in the extra passes, which nothing
  // inside the frame catches; the second frame ends the loop.
  SetTargetRect(kPicture);
  Probes.entering = [](TurnStage stage) {
    if (stage != TurnStage::kExtraPasses) return;
    probed.stages.push_back(stage);
    if (probed.stages.size() == 1) throw std::runtime_error("probe");
    DrawThread.DrawThreadStop = 1;
  };
  DrawThreadBody();
  SetTargetRect(PictureRect{});
  EXPECT_EQ(probed.texts, std::vector<std::string>{"Draw thread exception"});
  EXPECT_EQ(probed.stages.size(), 2u);
  EXPECT_EQ(DrawThread.DrawThreadStop, 0);
  EXPECT_EQ(Requests.SceneInitFrame, 0);  // the second frame ran to its end
}

TEST_F(FrameLoopTest, ANewEffectAskedForBeforeTheFirstFrameReplacesTheFirstEffectAfterIt) {
  // Without the request the first frame keeps the petal ring: its own re-initialisation and
  // the due automatic change are both refused during the scene set-up.
  for (bool asked : {false, true}) {
    SetUp();
    if (asked) RequestNewEffect();
    ASSERT_TRUE(Frame(kBoot));
    EXPECT_EQ(Loop.EffectChangeCount, asked ? 1u : 0u) << asked;
    EXPECT_EQ(Scene.DrawingMode != kModePetalRing, asked);
    EXPECT_EQ(Requests.NewEffectRequest, 0);
  }
}

}  // namespace
