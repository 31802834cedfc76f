#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene_driver.h"
#include "effects/scene_setup.h"

int clusterSteps = 0;
EffectColour clusterColour{0, 0, 0};

void DrawClusterBloom() {
  const int divisor = loudness < 2 ? 1 : loudness;
  if (clusterSteps <= 0) {
    clusterSteps = std::min(bassCue * 20 / divisor, kMaxClusterSteps);
    clusterColour = FrameColour;
    const int x = pictureWidth - RandomInt(pictureWidth);
    const int y = pictureHeight - RandomInt(pictureHeight);
    burstCentre = {x, y};
  }
  SetPenWidth(beatHold != 0 ? widePenWidth : normalPenWidth);
  SetDrawDensity(65535);
  // Each step of a series is 500 dots smaller than the one before.
  burstSize = clusterSteps * 500;
  --clusterSteps;
  DrawDotCloud(burstCentre.x, burstCentre.y, std::min(pictureWidth, pictureHeight) / 4, burstSize,
               clusterColour);
}
