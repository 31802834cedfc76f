#pragma once
// The shape of a thick line: its widened thickness and the brush that caps its start.
#include <cstdint>

constexpr int kMinPenWidth = 1;
constexpr int kMaxPenWidth = 32;

// The thickness in pixels of a line of pen width `penWidth` (1..32) running (dx, dy): the pen
// width for level and upright lines, about 1.43 times it at 45 degrees. Exact for any pair of
// 32-bit coordinate differences.
int LineThickness(int penWidth, int64_t dx, int64_t dy);

// Brush row k (0..penWidth-1) leaves inset[k] pixels free at each end. Pen width 2..32.
const int8_t* BrushInsets(int penWidth);

// floor(scale * num / den) for 0 <= num <= den, den > 0, without overflow for any 64-bit pair.
uint32_t ScaledRatio(uint64_t num, uint64_t den, uint32_t scale);
