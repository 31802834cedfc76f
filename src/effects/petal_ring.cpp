#include "effects/petal_ring.h"

#include <cmath>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/random_sources.h"
#include "effects/scene_state.h"

void DrawPetalRing() {
  SetPenWidth(2);
  SetDrawDensity(65535);
  const double step = (kPi + kPi) / kRingSegments;
  // Below about loudness 2237 the base is negative and the ring folds through the centre.
  const int base = Scene.loudness * Scene.loudness / 100000 - 50;
  const int halfWidth = Scene.pictureWidth / 2;
  const int halfHeight = Scene.pictureHeight / 2;
  const auto point = [&](int j) {
    const double a = j * step;
    const double r = (std::cos(Scene.petalFrequency * a) * 20 + base) * Scene.beatMultiplier *
                     Scene.sizeScale * 0.2;
    return PicturePoint{int(r * std::cos(a + Scene.ringPhase)) + halfWidth,
                        int(r * std::sin(a + Scene.ringPhase)) + halfHeight};
  };
  // Point 110 is point 1 again for a whole-number petal frequency, closing the curve.
  PicturePoint from = point(1);
  for (int i = 1; i <= kRingSegments; ++i) {
    const PicturePoint to = point(i + 1);
    DrawColourLine(from.x, from.y, to.x, to.y, Scene.FrameColour);
    from = to;
  }
}
