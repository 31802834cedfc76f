#pragma once
// The starburst: 255 stars fly out of a random point towards the viewer for 14 frames.
#include "effects/effect_colour.h"

struct Star {
  double x;  // offset from the burst centre at depth 0
  double y;
  double z;  // depth: 7 at the start, 0.5 less each frame
};
constexpr int kStarCount = 255;
extern Star Stars[kStarCount];

extern int starburstOffsetX;  // burst centre relative to the picture centre
extern int starburstOffsetY;
extern EffectColour starburstColour;

// Does nothing while a starburst runs, so bursts never overlap.
void StartStarburst();
// One frame of the running starburst (drawing mode 119 in an overlay pass).
void DrawStarburstFrame();
