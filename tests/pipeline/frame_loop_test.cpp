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
#include <utility>
#include <vector>

#include "effects/scene.h"
#include "pipeline/draw_thread.h"
#include "pipeline/requests.h"
#include "platform/lockstep_clock.h"
#include "raster/drawing.h"

static std::atomic<bool> refuseNothrowNew{false};

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (refuseNothrowNew) return nullptr;
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}

namespace {

using enum FrameStage;
using enum TurnStage;
constexpr PictureRect kPicture{0, 0, 32, 24};
constexpr uint32_t kBoot = 100000;  // an uptime past the first 31 s

// What the frame loop's probes saw. The first stage entered after `throwAt` is set throws if it is
// that stage.
struct Probed {
  std::vector<std::string> texts;
  std::vector<TurnStage> stages;
  std::optional<TurnStage> throwAt;
} probed;

void Enter(TurnStage stage) {
  probed.stages.push_back(stage);
  if (std::exchange(probed.throwAt, std::nullopt) == stage) throw std::runtime_error("probe");
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

  platform::LockstepClock clock{kBoot};
  int handOvers = 0;
};

TEST_F(FrameLoopTest, FramesArePacedByADelayThatFollowsTheMeasuredRateAndNeverGoesNegative) {
  uint32_t start = 0xFFFFFFFFu - 1999u;  // the tick count wraps in the second window
  ASSERT_NE(Turn(start), kEnded);        // closes the window left from load: 0 fps, clamped to 0
  EXPECT_EQ(Loop.FrameDelay, 0);
  // 41 frames 25 ms apart, then the window closes at 1025 ms: 40 per second. Then 21 frames 50 ms
  // apart, closing at 1050 ms: 20 per second.
  for (auto [spacing, delay] : {std::pair{25u, 10}, {25u, 20}, {50u, 10}, {50u, 0}, {50u, 0}}) {
    for (uint32_t t = start + spacing; t - start <= 1000 + spacing; t += spacing)
      ASSERT_NE(Turn(t), kEnded) << t;
    EXPECT_EQ(Loop.FrameDelay, delay);
    start += 1000 + spacing;
  }
  // A frame not yet due sleeps 1 ms and draws nothing.
  Loop.FrameDelay = 20;
  EXPECT_EQ(Turn(start + 19), kEnded);
  EXPECT_EQ(clock.Now(), start + 20);
  EXPECT_EQ(Loop.LastFrameTime, start);
  EXPECT_NE(Turn(start + 20), kEnded);
}

TEST_F(FrameLoopTest, TheEffectClockAndTheRequestsAcrossTheTickWrap) {
  enum Before { kNone, kAsk, kError, kLock, kChange, kResize };
  // {ms after the first frame, what comes before this frame, effects chosen so far, effect
  // clock}. A scenario whose first step is not at 0 starts from a settled effect: its clock set
  // to 40 in a frame at 40, and no hold.
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
      {{0, kNone, 0, 0}, {5000, kNone, 0, 0}, {5001, kNone, 1, T + 5001}},
      // A new effect asked for before the first frame replaces the first effect after it.
      {{0, kAsk, 1, 0}},
      // The effect changes by itself at an age of 31000 ms.
      {{31039, kNone, 0, T + 40}, {31040, kNone, 1, T + 31040}},
      // After an error report a new effect starts with its clock 15 s back: 16 s to the next.
      {{140, kError, 1, T - 14860}, {16139, kNone, 1, T - 14860}, {16140, kNone, 2, T + 16140}},
      // A locked effect only restarts its clock, and keeps through errors, but not F6.
      {{31040, kLock, 0, T + 31040}, {31140, kError, 0, T + 16140}, {31240, kChange, 1, T + 16140}},
      // A resize rebuilds the scene but keeps the effect and its clock, even with a change due.
      {{31040, kResize, 0, T + 40}},
  };
  for (const std::vector<Step>& steps : scenarios) {
    SetUp();
    if (steps[0].at != 0) {
      ASSERT_NE(Turn(T), kEnded);
      Loop.EffectStartTime = T + 40;
      Loop.AutoChangeHold = 0;
      ASSERT_NE(Turn(T + 40), kEnded);
    }
    PictureRect picture = kPicture;
    for (const Step& step : steps) {
      SCOPED_TRACE(testing::Message() << "scenario " << &steps - scenarios << " at " << step.at);
      if (step.before == kAsk) RequestNewEffect();
      if (step.before == kError) ReportError("Dxk Blt error");
      if (step.before == kLock) Requests.EffectLocked = 1;
      if (step.before == kChange) RequestChangeDrawing();
      if (step.before == kResize) picture = PictureRect{0, 0, 40, 30};
      ASSERT_NE(Turn(T + step.at, picture), kEnded);
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
  const PictureRect larger{0, 0, 40, 30};
  const struct {
    std::optional<TurnStage> throwAt;  // none: the surface cannot be made
    PictureRect picture;
    const char* text;
    FrameStage result;
  } cases[] = {
      {{}, larger, "Render Scene InitDXK failed", kEnded},
      {kSceneSetUp, larger, "Dxk initialization error", kRedrawn},
      {kDrawScene, kPicture, "DrawSW error", kHandedOver},
  };
  for (const auto& c : cases) {
    SetUp();
    ASSERT_NE(Turn(kBoot), kEnded);
    probed.stages.clear();
    probed.throwAt = c.throwAt;
    refuseNothrowNew = !c.throwAt;
    EXPECT_EQ(Turn(kBoot + 40, c.picture), c.result);
    refuseNothrowNew = false;
    const bool ended = c.result == kEnded;
    EXPECT_EQ(clock.Now(), kBoot + 40 + (ended ? 1 : 0));
    EXPECT_EQ(Requests.SceneInitFrame, ended ? 1 : 0);  // cleared only by a completed frame
    EXPECT_EQ(probed.texts, std::vector<std::string>{c.text});
    EXPECT_EQ(probed.stages.back(), ended ? kSceneSetUp : kExtraPasses);
    EXPECT_EQ(handOvers, c.result == kHandedOver ? 1 : 0);
    ASSERT_NE(Turn(kBoot + 80, c.picture), kEnded);
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
    if (stage != kExtraPasses) return;
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
