#include "effects/frame_colour.h"

#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "effects/starburst.h"
#include "raster/drawing.h"

int DissolveDensity(int loudness) {
  return 6000000 / (loudness + 1000);
}

void BeginEffectFrame() {
  AverageBands(Scene.BandLevels, 7);
  // Band 1 is halved before it competes with band 0, so the deepest band leads the red.
  const int red = std::max(Scene.BandLevels[0], Scene.BandLevels[1] / 2);
  const int green = std::max(Scene.BandLevels[2], Scene.BandLevels[3]);
  const int blue = std::max({Scene.BandLevels[4], Scene.BandLevels[5], Scene.BandLevels[6]});
  Scene.FrameColour = {red * 124, green * 124, blue * 124};
  Scene.bassCue = red * 31 / 10;

  DissolveRect(0, 0, Scene.pictureWidth, Scene.pictureHeight, DissolveDensity(Scene.loudness));

  ConsiderStarburst();
}

void ConsiderStarburst() {
  if (Scene.starburstAllowed && !Scene.starburstActive && Scene.loudness > 6000 && Scene.beatFlag &&
      RandomInt(10) < 2) {
    StartStarburst();
  }
}
