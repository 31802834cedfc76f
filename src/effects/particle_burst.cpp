#include <algorithm>
#include <limits>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_state.h"

void DrawParticleBurst() {
  if (!Scene.burstColourHeld) Scene.burstColour = Scene.FrameColour;
  // A beat restarts the burst only once the last one has died out.
  if (Scene.burstSize <= 0 && Scene.beatFlag) {
    Scene.burstSize = Scene.loudness / 4 + 200;
    const int x = Scene.pictureWidth - int(RandomUniform(Scene.pictureWidth));
    const int y = Scene.pictureHeight - int(RandomUniform(Scene.pictureHeight));
    Scene.burstCentre = {x, y};
    Scene.burstColour = Scene.FrameColour;
  }
  SetPenWidth(1);
  SetDrawDensity(65535);
  DrawDotCloud(Scene.burstCentre.x, Scene.burstCentre.y,
               std::min(Scene.pictureWidth, Scene.pictureHeight) / 4, Scene.burstSize,
               Scene.burstColour);
  // An idle burst keeps counting down while it waits for a beat; stop short of the end of the
  // int, which days of beatless swarm frames would otherwise pass.
  if (Scene.burstSize > std::numeric_limits<int>::min() + 100) Scene.burstSize -= 100;
  if (Scene.burstSize <= 0) Scene.particleBurstActive = 0;
}
