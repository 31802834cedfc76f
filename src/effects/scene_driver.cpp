#include "effects/scene.h"

#include "effects/audio_measures.h"
#include "effects/audio_samples.h"
#include "effects/dot_cloud.h"
#include "effects/emitter_swarm.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/petal_ring.h"
#include "effects/random_sources.h"
#include "effects/scene_state.h"
#include "effects/spark_fan.h"
#include "effects/starburst.h"

namespace {

// Ten bloom steps a frame while the bass is strong.
constexpr int kStrongBassCue = 4000;

}  // namespace

void DrawScene() {
  if (Scene.beatFlag) {
    Scene.beatHold = 3;
    Scene.beatMultiplier = 2;
  } else {
    // Only main passes count the hold down, so an overlay pass does not shorten it.
    if (Scene.beatHold != 0 && !Scene.OverlayPass) --Scene.beatHold;
    Scene.beatMultiplier = 1;
  }
  if (!Scene.OverlayPass) BeginEffectFrame();

  switch (Scene.DrawingMode) {
    case kModePetalRing:
      DrawPetalRing();
      break;
    case kModeScatterClouds: {
      DrawScatterCloud();
      const int frameMultiplier = Scene.beatMultiplier;
      Scene.beatMultiplier = 1;
      DrawScatterCloud();
      Scene.beatMultiplier = frameMultiplier;
      break;
    }
    case kModeEmitterSwarmCentre:
      DrawEmitterSwarm(EmitterReseat::kNearCentre);
      break;
    case kModeClusterBloom: {
      const int steps = Scene.bassCue >= kStrongBassCue ? 10 : 1;
      for (int s = 0; s < steps; ++s) DrawClusterBloom();
      break;
    }
    case kModeEmitterSwarmAnywhere:
      DrawEmitterSwarm(EmitterReseat::kAnywhere);
      break;
    case kModeStarburst:
      DrawStarburstFrame();
      break;
    default:
      break;
  }

  // Now and then, in every pass, the ring gets a new number of petals.
  if (RandomInt(1000) < 10) Scene.petalFrequency = RandomInt(10) + 1;
  if (Scene.DrawingMode == kModePetalRing) {
    Scene.ringPhase += 0.05;
    if (Scene.ringPhase >= kPi + kPi) Scene.ringPhase = 0.0;
  }
}

void ChooseNewEffect() {
  Scene.burstColourHeld = RandomInt(2) == 0 ? 1 : 0;
  // The petal ring is only ever the first effect; ClusterBloom needs rand() 32767.
  static constexpr int kModes[4] = {kModeScatterClouds, kModeEmitterSwarmCentre,
                                    kModeEmitterSwarmAnywhere, kModeClusterBloom};
  Scene.DrawingMode = kModes[RandomInt(3)];
  Scene.ringPhase = 0.0;
  Scene.emitterOverlay = RandomInt(2) != 0 && Scene.DrawingMode != kModeEmitterSwarmCentre ? 1 : 0;
  Scene.sparkFanEnabled = RandomInt(100) <= 45 && Scene.DrawingMode != kModeClusterBloom ? 1 : 0;
  if (Scene.DrawingMode == kModeScatterClouds) {
    Scene.starburstAllowed = 1;
  } else {
    Scene.starburstAllowed = RandomInt(100) <= 33 && Scene.DrawingMode != kModeClusterBloom ? 1 : 0;
  }
}

void ResetSceneToLoadState() {
  // The values at load, made once: the record is too large for a fresh copy on the stack.
  static const SceneState load_state;
  Scene = load_state;
  Samples = SampleArrays{};
}
