#pragma once
// Per-frame audio measures taken from the left sample arrays.

extern int loudness;          // peak * peak / 8 of the left waveform: 2048 in silence, 8128 at most
extern int previousLoudness;  // loudness of the frame before
extern int beatFlag;          // loudness jumped by more than 1000 since the frame before
extern double sizeScale;      // (width + height) / 600: radii and spreads grow with the picture

// Room for every band count a caller asks for; entries past a caller's count keep older levels.
constexpr int kBandLevelsSize = 1024;
extern int BandLevels[kBandLevelsSize];

// Writes `count` band levels of the left spectrum into out[0..count-1] (0..4064 each).
// Neighbouring bands share one byte. A count below 1 writes nothing; above 1024 writes 1024.
void AverageBands(int* out, int count);
