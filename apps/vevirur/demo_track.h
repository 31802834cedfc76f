#pragma once
// The built-in demo music, synthesized in code so the program needs no asset files.
#include "audio_clip.h"

namespace vevirur {

constexpr double kDemoSeconds = 48.0;

// 48 s at 120 beats a minute, 44.1 kHz stereo: a quiet opening (pad and melody), a groove
// (kick drum, bass, melody), a loud passage with hi-hats, a quiet break and a loud ending.
// Same result on every run and machine (integer noise, no time or randomness from outside).
AudioClip SynthesizeDemoTrack(int sample_rate = 44100, double seconds = kDemoSeconds);

}  // namespace vevirur
