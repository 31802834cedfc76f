#include "effects/frame_colour.h"

#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "effects/scene_setup.h"
#include "effects/starburst.h"
#include "raster/drawing.h"

EffectColour FrameColour{0, 0, 0};
int bassCue = 0;

int DissolveDensity(int loudness) {
  return 6000000 / (loudness + 1000);
}

void BeginEffectFrame() {
  AverageBands(BandLevels, 7);
  // Band 1 is halved before it competes with band 0, so the deepest band leads the red.
  const int red = std::max(BandLevels[0], BandLevels[1] / 2);
  const int green = std::max(BandLevels[2], BandLevels[3]);
  const int blue = std::max({BandLevels[4], BandLevels[5], BandLevels[6]});
  FrameColour = {red * 124, green * 124, blue * 124};
  bassCue = red * 31 / 10;

  DissolveRect(0, 0, pictureWidth, pictureHeight, DissolveDensity(loudness));

  ConsiderStarburst();
}

void ConsiderStarburst() {
  if (starburstAllowed && !starburstActive && loudness > 6000 && beatFlag && RandomInt(10) < 2) {
    StartStarburst();
  }
}
