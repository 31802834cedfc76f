#pragma once
// The scene driver's state: the beat state of the frame and the per-effect choices.

extern int beatMultiplier;  // 2 on a beat frame, else 1
extern int beatHold;        // 3 on a beat, then falls by one per main frame: dots stay wide
extern int starburstAllowed;
extern int burstColourHeld;  // the particle burst keeps the colour it started with
extern double petalFrequency;
extern double ringPhase;
