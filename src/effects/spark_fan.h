#pragma once
// The spark fan overlay: on beat frames, 17 jagged strokes round a point that jumps about, their
// lengths following the low spectrum, plus a stippled spot of light opposite the next centre.

// Chosen at the end of each fan: the next fan is centred at (hw - x, hh - y) and this fan's
// spot is drawn at (hw + x, hh + y).
extern int sparkCentreOffsetX;
extern int sparkCentreOffsetY;

// The fan's band levels are analysed in 64 bands; index 64 stands for the direction of ray 1.
constexpr int kSparkBands = 64;
