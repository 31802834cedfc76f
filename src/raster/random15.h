#pragma once
// The draw thread's 15-bit pseudo-random generator, shared by the rasteriser and the effects.
// Each thread has its own state, starting at 1.
#include <cstdint>

// state = state * 214013 + 2531011 (mod 2^32); returns bits 16..30 of the new state (0..32767).
int NextRandom15();
// Puts this thread's generator back to a known state (tests and deterministic rendering).
void SeedRandom15(uint32_t state);
