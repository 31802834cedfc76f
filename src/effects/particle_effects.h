#pragma once
// Particle burst, scatter clouds (mode 21) and cluster bloom (mode 23): clouds of dots from the
// shared brush. The burst and the bloom share their size and centre.
#include "effects/effect_colour.h"
#include "effects/random_sources.h"

// The longest cluster series a playing host can ask for: the strongest bass cue (12598) times 20
// over the quietest playing loudness (2048). Only a waveform that never rises above its centre
// (loudness below 2048) would ask for more, up to hundreds of millions of dots in one frame.
constexpr int kMaxClusterSteps = 123;

void DrawScatterCloud();
void DrawClusterBloom();
// Defined with the other frame-loop entries in scene.h: void DrawParticleBurst();
