#pragma once
// The NoiseTable: 65536 pseudo-random values 0..32767 that decide which pixels a stippled line
// or a dissolve touches. Kept as 16-bit values: they fit, and the dissolve compares eight at once.
#include <cstdint>

constexpr int kNoiseTableSize = 65536;
constexpr uint32_t kNoiseIndexMask = kNoiseTableSize - 1;

struct NoiseTable {
  int16_t values[kNoiseTableSize];
};

// Entries 0..65535 in order, each the next value of the calling thread's 15-bit generator.
void FillNoiseTable(NoiseTable& table);
