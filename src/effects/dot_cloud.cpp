#include "effects/dot_cloud.h"

#include "effects/random_sources.h"

void DrawDotCloud(int centreX, int centreY, int reach, int count, const EffectColour& colour) {
  if (count <= 0) return;
  Scene.cloudDotCount += uint64_t(count);
  for (int j = 0; j < count; ++j) {
    const PicturePoint p = RandomRadiusPoint(centreX, centreY, reach);
    DrawColourDot(p.x, p.y, colour);
  }
}
