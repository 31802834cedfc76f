#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene_state.h"

void DrawClusterBloom() {
  const int divisor = Scene.loudness < 2 ? 1 : Scene.loudness;
  if (Scene.clusterSteps <= 0) {
    Scene.clusterSteps = std::min(Scene.bassCue * 20 / divisor, kMaxClusterSteps);
    Scene.clusterColour = Scene.FrameColour;
    const int x = Scene.pictureWidth - RandomInt(Scene.pictureWidth);
    const int y = Scene.pictureHeight - RandomInt(Scene.pictureHeight);
    Scene.burstCentre = {x, y};
  }
  SetPenWidth(Scene.beatHold != 0 ? Scene.widePenWidth : Scene.normalPenWidth);
  SetDrawDensity(65535);
  // Each step of a series is 500 dots smaller than the one before.
  Scene.burstSize = Scene.clusterSteps * 500;
  --Scene.clusterSteps;
  DrawDotCloud(Scene.burstCentre.x, Scene.burstCentre.y,
               std::min(Scene.pictureWidth, Scene.pictureHeight) / 4, Scene.burstSize,
               Scene.clusterColour);
}
