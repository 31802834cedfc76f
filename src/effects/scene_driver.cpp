#include "effects/scene_driver.h"

#include <algorithm>
#include <iterator>

#include "effects/audio_measures.h"
#include "effects/audio_samples.h"
#include "effects/dot_cloud.h"
#include "effects/emitter_swarm.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/petal_ring.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_setup.h"
#include "effects/spark_fan.h"
#include "effects/starburst.h"

int DrawingMode = kModePetalRing;
int OverlayPass = 0;
int emitterOverlay = 0;
int sparkFanEnabled = 0;
int starburstAllowed = 0;
int burstColourHeld = 1;
int beatMultiplier = 1;
int beatHold = 0;
double petalFrequency = 2.0;
double ringPhase = 0.0;

namespace {

// Ten bloom steps a frame while the bass is strong.
constexpr int kStrongBassCue = 4000;

}  // namespace

void DrawScene() {
  if (beatFlag) {
    beatHold = 3;
    beatMultiplier = 2;
  } else {
    // Only main passes count the hold down, so an overlay pass does not shorten it.
    if (beatHold != 0 && !OverlayPass) --beatHold;
    beatMultiplier = 1;
  }
  if (!OverlayPass) BeginEffectFrame();

  switch (DrawingMode) {
    case kModePetalRing:
      DrawPetalRing();
      break;
    case kModeScatterClouds: {
      DrawScatterCloud();
      const int frameMultiplier = beatMultiplier;
      beatMultiplier = 1;
      DrawScatterCloud();
      beatMultiplier = frameMultiplier;
      break;
    }
    case kModeEmitterSwarmCentre:
      DrawEmitterSwarm(EmitterReseat::kNearCentre);
      break;
    case kModeClusterBloom: {
      const int steps = bassCue >= kStrongBassCue ? 10 : 1;
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
  if (RandomInt(1000) < 10) petalFrequency = RandomInt(10) + 1;
  if (DrawingMode == kModePetalRing) {
    ringPhase += 0.05;
    if (ringPhase >= kPi + kPi) ringPhase = 0.0;
  }
}

void ChooseNewEffect() {
  burstColourHeld = RandomInt(2) == 0 ? 1 : 0;
  // The petal ring is only ever the first effect; ClusterBloom needs rand() 32767.
  static constexpr int kModes[4] = {kModeScatterClouds, kModeEmitterSwarmCentre,
                                    kModeEmitterSwarmAnywhere, kModeClusterBloom};
  DrawingMode = kModes[RandomInt(3)];
  ringPhase = 0.0;
  emitterOverlay = RandomInt(2) != 0 && DrawingMode != kModeEmitterSwarmCentre ? 1 : 0;
  sparkFanEnabled = RandomInt(100) <= 45 && DrawingMode != kModeClusterBloom ? 1 : 0;
  if (DrawingMode == kModeScatterClouds) {
    starburstAllowed = 1;
  } else {
    starburstAllowed = RandomInt(100) <= 33 && DrawingMode != kModeClusterBloom ? 1 : 0;
  }
}

void ResetSceneToLoadState() {
  Samples = SampleArrays{};
  DrawingMode = kModePetalRing;
  OverlayPass = 0;
  emitterOverlay = 0;
  sparkFanEnabled = 0;
  starburstAllowed = 0;
  burstColourHeld = 1;
  beatMultiplier = 1;
  beatHold = 0;
  petalFrequency = 2.0;
  ringPhase = 0.0;
  loudness = previousLoudness = beatFlag = 0;
  sizeScale = 0.0;
  std::fill(std::begin(BandLevels), std::end(BandLevels), 0);
  FrameColour = {0, 0, 0};
  bassCue = 0;
  particleBurstActive = 0;
  burstSize = 0;
  burstCentre = {0, 0};
  burstColour = {0, 0, 0};
  scatterCentre = {0, 0};
  clusterSteps = 0;
  clusterColour = {0, 0, 0};
  starburstActive = 0;
  starburstOffsetX = starburstOffsetY = 0;
  starburstColour = {0, 0, 0};
  sparkCentreOffsetX = sparkCentreOffsetY = 0;
  emitterSpeed = 0.0f;
  normalPenWidth = 1;
  widePenWidth = 2;
}
