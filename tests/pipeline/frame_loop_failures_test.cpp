// The frame loop's failure paths and the requests that arrive before the first frame, one turn at
// a time on the test's thread. A surface that cannot be made is simulated by refusing the
// allocations that ask for no exception (the drawing surface is made that way).
#include <gtest/gtest.h>

#include <atomic>
#include <new>

#include "effects/scene.h"
#include "pipeline/frame_loop.h"
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
constexpr uint32_t kBoot = 100000;

void CountHandOver(void* count) {
  ++*static_cast<int*>(count);
}

class FrameLoopFailures : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameLoopState();
    ResetSceneToLoadState();
    platform::SetTimeSource(&clock);
  }
  void TearDown() override {
    refuseNothrowNew = false;
    platform::SetTimeSource(nullptr);
    ResetFrameLoopState();
  }
  FrameStage Turn(uint32_t at) {
    clock.SetNow(at);
    return RunFrameTurn(kPicture, CountHandOver, &handOvers);
  }
  platform::LockstepClock clock{kBoot};
  int handOvers = 0;
};

TEST_F(FrameLoopFailures, ASurfaceThatCannotBeMadeEndsTheTurnAndEveryNextTurnRetries) {
  refuseNothrowNew = true;
  for (uint32_t at : {kBoot, kBoot + 40}) {
    EXPECT_EQ(Turn(at), FrameStage::kEnded);
    EXPECT_EQ(Loop.SceneReady, 0);
    EXPECT_EQ(IsDrawSurfaceReady(), 0);
    EXPECT_EQ(Requests.SceneInitFrame, 1);  // stays set until a frame completes
    EXPECT_EQ(Requests.ReinitRequest, 1);
    EXPECT_EQ(Loop.RateFrameCount, 0u);  // nothing past the scene check
    EXPECT_EQ(clock.Now(), at + 1);      // a 1 ms nap, not a spin
  }
  refuseNothrowNew = false;
  EXPECT_EQ(Turn(kBoot + 80), FrameStage::kRedrawn);
  EXPECT_EQ(Loop.SceneReady, 1);
  EXPECT_EQ(Requests.SceneInitFrame, 0);
  EXPECT_EQ(handOvers, 0);
  EXPECT_EQ(Turn(kBoot + 120), FrameStage::kHandedOver);
  EXPECT_EQ(handOvers, 1);
}

TEST_F(FrameLoopFailures, ANewEffectAskedForBeforeTheFirstFrameReplacesTheFirstEffectAfterIt) {
  // Without the request the first frame keeps the petal ring: its own re-initialisation and
  // the due automatic change are both refused during the scene set-up.
  for (bool asked : {false, true}) {
    SetUp();
    if (asked) RequestNewEffect();
    EXPECT_EQ(Requests.NewEffectRequest, asked ? 1 : 0);
    Turn(kBoot);
    EXPECT_EQ(Loop.EffectChangeCount, asked ? 1u : 0u) << asked;
    EXPECT_EQ(DrawingMode != kModePetalRing, asked);
    EXPECT_EQ(Requests.NewEffectRequest, 0);
  }
}

}  // namespace
