#pragma once
// The colour of the frame, the bass cue and the dissolve of the old picture.
#include "effects/effect_colour.h"

// 6000000 / (loudness + 1000): loud passages erase less, so their strokes leave longer trails.
int DissolveDensity(int loudness);

// Starts the starburst when the effect allows it and a loud beat wins a one-in-five draw; the
// number is drawn only when everything else allows it.
void ConsiderStarburst();

// Runs once per main frame, before the scene draws: colour, bass cue, dissolve, starburst trigger.
void BeginEffectFrame();
