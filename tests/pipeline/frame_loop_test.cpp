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
    return RunFrameTurn(
        picture, [](void* count) { ++*static_cast<int*>(count); }, &handOvers);
  }
  // True when the turn drew a frame (handed over, or re-initialised).
  bool Frame(uint32_t at, PictureRect picture = kPicture) {
    return Turn(at, picture) != FrameStage::kEnded;
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
    for (uint32_t t = start + spacing; t - start <= 1000 + spacing; t += spacing)
      ASSERT_TRUE(Frame(t)) << t;
    EXPECT_EQ(Loop.FrameDelay, delay);
    start += 1000 + spacing;
  }
}

TEST_F(FrameLoopTest, AFrameNotYetDueSleepsOneMillisecondAndHandsNothingOver) {
  ASSERT_TRUE(Frame(kBoot));
  Loop.FrameDelay = 20;
  EXPECT_FALSE(Frame(kBoot + 19));
  EXPECT_EQ(clock.Now(), kBoot + 20);
  EXPECT_EQ(Loop.LastFrameTime, kBoot);
  EXPECT_TRUE(Frame(kBoot + 20));
}

TEST_F(FrameLoopTest, TheEffectClockAndTheRequestsAcrossTheTickWrap) {
  enum Before { kNothing, kAsk, kSettle, kReport, kLock, kChangeDrawing, kResize };
  // {ms after the first frame, what happens before this frame, effects chosen so far, effect
  // clock}; kSettle sets the effect clock to the frame's time and ends the hold.
  struct Step {
    uint32_t at;
    Before before;
    uint32_t changes;
    uint32_t clock;
  };
  constexpr uint32_t T = 0xFFFFFFFFu - 20000u;
  const std::vector<Step> scenarios[] = {
      // At the first start the clock is 0: the test fires, the scene initialisation blocks it,
      // and the change comes only once the 5000 ms hold has passed.
      {{0, kNothing, 0, 0}, {5000, kNothing, 0, 0}, {5001, kNothing, 1, T + 5001}},
      // A new effect asked for before the first frame replaces the first effect after it.
      {{0, kAsk, 1, 0}},
      // The effect changes by itself at an age of 31000 ms.
      {{0, kNothing, 0, 0},
       {40, kSettle, 0, T + 40},
       {31039, kNothing, 0, T + 40},
       {31040, kNothing, 1, T + 31040}},
      // After an error report a new effect starts with its clock 15 s back: 16 s to the next.
      {{0, kNothing, 0, 0},
       {40, kSettle, 0, T + 40},
       {140, kReport, 1, T + 140 - 15000},
       {16139, kNothing, 1, T + 140 - 15000},
       {16140, kNothing, 2, T + 16140}},
      // A locked effect only restarts its clock, and ignores errors, but not a change of drawing.
      {{0, kNothing, 0, 0},
       {40, kSettle, 0, T + 40},
       {31040, kLock, 0, T + 31040},
       {31140, kReport, 0, T + 16140},
       {31240, kChangeDrawing, 1, T + 16140}},
      // A resize rebuilds the scene but keeps the effect and its clock, even with a change due.
      {{0, kNothing, 0, 0}, {40, kSettle, 0, T + 40}, {31040, kResize, 0, T + 40}},
  };
  for (const std::vector<Step>& steps : scenarios) {
    SetUp();
    PictureRect picture = kPicture;
    for (const Step& step : steps) {
      SCOPED_TRACE(testing::Message() << "scenario " << &steps - scenarios << " at " << step.at);
      if (step.before == kAsk) RequestNewEffect();
      if (step.before == kSettle) {
        Loop.EffectStartTime = T + step.at;
        Loop.AutoChangeHold = 0;
      }
      if (step.before == kReport) ReportError("Dxk Blt error");
      if (step.before == kLock) Requests.EffectLocked = 1;
      if (step.before == kChangeDrawing) RequestChangeDrawing();
      if (step.before == kResize) picture = PictureRect{0, 0, 40, 30};
      ASSERT_TRUE(Frame(T + step.at, picture));
      EXPECT_EQ(Loop.EffectChangeCount, step.changes);
      EXPECT_EQ(Loop.EffectStartTime, step.clock);
      EXPECT_EQ(Loop.SceneWidth, picture.right);
      EXPECT_EQ(Requests.NewEffectRequest | Requests.ChangeDrawingRequest, 0);
    }
  }
}

TEST_F(FrameLoopTest, FailuresInTheSceneSetUpAndDrawingAreReportedAndTheLoopGoesOn) {
  // A surface that cannot be made ends the turn after a 1 ms nap, and the next turn builds again;
  // a set-up fault leaves no surface but the frame is drawn; a fault in the scene still leaves
  // the extra passes and the hand-over.
  using enum TurnStage;
  const PictureRect larger{0, 0, 40, 30};
  const struct {
    std::optional<TurnStage> throwAt;  // none: the surface cannot be made
    PictureRect picture;
    const char* text;
    FrameStage result;
    std::vector<TurnStage> stages;
  } cases[] = {
      {{}, larger, "Render Scene InitDXK failed", FrameStage::kEnded, {kSceneSetUp}},
      {kSceneSetUp,
       larger,
       "Dxk initialization error",
       FrameStage::kRedrawn,
       {kSceneSetUp, kDrawScene, kExtraPasses}},
      {kDrawScene, kPicture, "DrawSW error", FrameStage::kHandedOver, {kDrawScene, kExtraPasses}},
  };
  for (const auto& c : cases) {
    SetUp();
    ASSERT_TRUE(Frame(kBoot));
    probed.stages.clear();
    probed.throwAt = c.throwAt;
    refuseNothrowNew = !c.throwAt;
    EXPECT_EQ(Turn(kBoot + 40, c.picture), c.result);
    refuseNothrowNew = false;
    const bool ended = c.result == FrameStage::kEnded;
    EXPECT_EQ(clock.Now(), kBoot + 40 + (ended ? 1 : 0));
    EXPECT_EQ(Requests.SceneInitFrame, ended ? 1 : 0);  // cleared only by a completed frame
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

}  // namespace
