#pragma once
// The starburst: 255 stars fly out of a random point towards the viewer for 14 frames.
#include "effects/scene_state.h"

// Does nothing while a starburst runs, so bursts never overlap.
void StartStarburst();
// One frame of the running starburst (drawing mode 119 in an overlay pass).
void DrawStarburstFrame();
