#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "effects/scene_setup.h"

PicturePoint scatterCentre{0, 0};

void DrawScatterCloud() {
  particleBurstActive = 1;
  const int x = pictureWidth - int(RandomUniform(pictureWidth));
  const int y = pictureHeight - int(RandomUniform(pictureHeight));
  scatterCentre = {x, y};
  SetPenWidth(beatHold != 0 ? widePenWidth : normalPenWidth);
  // On a beat the first cloud is stippled, thinning out its wide dots.
  SetDrawDensity(beatMultiplier == 1 ? 65535 : 16000);
  DrawDotCloud(scatterCentre.x, scatterCentre.y, std::min(pictureWidth, pictureHeight) / 4,
               loudness / 16, FrameColour);
}
