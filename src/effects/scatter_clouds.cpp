#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_state.h"

void DrawScatterCloud() {
  Scene.particleBurstActive = 1;
  const int x = Scene.pictureWidth - int(RandomUniform(Scene.pictureWidth));
  const int y = Scene.pictureHeight - int(RandomUniform(Scene.pictureHeight));
  Scene.scatterCentre = {x, y};
  SetPenWidth(Scene.beatHold != 0 ? Scene.widePenWidth : Scene.normalPenWidth);
  // On a beat the first cloud is stippled, thinning out its wide dots.
  SetDrawDensity(Scene.beatMultiplier == 1 ? 65535 : 16000);
  DrawDotCloud(Scene.scatterCentre.x, Scene.scatterCentre.y,
               std::min(Scene.pictureWidth, Scene.pictureHeight) / 4, Scene.loudness / 16,
               Scene.FrameColour);
}
