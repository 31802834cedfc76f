#include "effects/petal_ring.h"

#include <cmath>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/random_sources.h"
#include "effects/scene_driver.h"
#include "effects/scene_setup.h"

void DrawPetalRing() {
  SetPenWidth(2);
  SetDrawDensity(65535);
  const double step = (kPi + kPi) / kRingSegments;
  // Below about loudness 2237 the base is negative and the ring folds through the centre.
  const int base = loudness * loudness / 100000 - 50;
  const int halfWidth = pictureWidth / 2;
  const int halfHeight = pictureHeight / 2;
  const auto point = [&](int j) {
    const double a = j * step;
    const double r = (std::cos(petalFrequency * a) * 20 + base) * beatMultiplier * sizeScale * 0.2;
    return PicturePoint{int(r * std::cos(a + ringPhase)) + halfWidth,
                        int(r * std::sin(a + ringPhase)) + halfHeight};
  };
  // Point 110 is point 1 again for a whole-number petal frequency, closing the curve.
  PicturePoint from = point(1);
  for (int i = 1; i <= kRingSegments; ++i) {
    const PicturePoint to = point(i + 1);
    DrawColourLine(from.x, from.y, to.x, to.y, FrameColour);
    from = to;
  }
}
