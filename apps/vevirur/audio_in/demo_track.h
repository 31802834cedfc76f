#pragma once
// The built-in demo music, synthesized in code so the program needs no asset files.
#include "audio_in/audio_clip.h"

namespace vevirur {

constexpr double kDemoSeconds = 48.0;

// 48 s at 120 beats a minute, 44.1 kHz stereo: an opening of kick, bass and pad, a groove with
// the melody and a shaker, a shaker passage, a shimmer passage, a loud passage with everything,
// a quiet break without drums and a loud ending. The passages are voiced so that the picture
// shows red, yellow, green, blue, near white and cyan in turn.
// Same result on every run and machine (integer noise, no time or randomness from outside).
AudioClip SynthesizeDemoTrack(int sample_rate = 44100, double seconds = kDemoSeconds);

}  // namespace vevirur
