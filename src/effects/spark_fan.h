#pragma once
// The spark fan overlay: on beat frames, 17 jagged strokes round a point that jumps about, their
// lengths following the low spectrum, plus a stippled spot of light opposite the next centre.

// The fan's band levels are analysed in 64 bands; index 64 stands for the direction of ray 1.
constexpr int kSparkBands = 64;
