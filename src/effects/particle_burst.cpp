#include <algorithm>
#include <limits>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "effects/scene_setup.h"

int particleBurstActive = 0;
int burstSize = 0;
PicturePoint burstCentre{0, 0};
EffectColour burstColour{0, 0, 0};

void DrawParticleBurst() {
  if (!burstColourHeld) burstColour = FrameColour;
  // A beat restarts the burst only once the last one has died out.
  if (burstSize <= 0 && beatFlag) {
    burstSize = loudness / 4 + 200;
    const int x = pictureWidth - int(RandomUniform(pictureWidth));
    const int y = pictureHeight - int(RandomUniform(pictureHeight));
    burstCentre = {x, y};
    burstColour = FrameColour;
  }
  SetPenWidth(1);
  SetDrawDensity(65535);
  DrawDotCloud(burstCentre.x, burstCentre.y, std::min(pictureWidth, pictureHeight) / 4, burstSize,
               burstColour);
  // An idle burst keeps counting down while it waits for a beat; stop short of the end of the
  // int, which days of beatless swarm frames would otherwise pass.
  if (burstSize > std::numeric_limits<int>::min() + 100) burstSize -= 100;
  if (burstSize <= 0) particleBurstActive = 0;
}
