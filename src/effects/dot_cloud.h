#pragma once
// The brush shared by the emitters, the scatter clouds, the particle burst and the cluster bloom:
// dots scattered round a centre, dense in the middle, reaching `reach` pixels.
#include <cstdint>

#include "effects/effect_colour.h"

// Draws `count` dots (none when count <= 0) with the current pen and density.
void DrawDotCloud(int centreX, int centreY, int reach, int count, const EffectColour& colour);
