#pragma once
// Per-frame audio measures taken from the left sample arrays (kept in the scene record).
#include "effects/scene_state.h"

// Writes `count` band levels of the left spectrum into out[0..count-1] (0..4064 each).
// Neighbouring bands share one byte. A count below 1 writes nothing; above 1024 writes 1024.
void AverageBands(int* out, int count);
