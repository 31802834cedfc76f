#pragma once
// Puts the draw thread's generator where a test needs it: the n-th next rand() gives `value`.
#include <cstdint>

#include "raster/random15.h"

namespace random_control {

inline uint32_t InverseMultiplier() {
  // Newton's iteration for the inverse of the (odd) multiplier modulo 2^32.
  uint32_t inverse = 214013u;
  for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
  return inverse;
}

inline uint32_t PreviousState(uint32_t state) {
  return (state - 2531011u) * InverseMultiplier();
}

// After this, `drawsBefore` calls of NextRandom15() pass and the next one returns `value`.
// `hiddenBits` (17 bits) picks among the states that give that value, to vary the later draws.
inline void SeedSoRandomIs(int value, int drawsBefore = 0, uint32_t hiddenBits = 0) {
  uint32_t state = (uint32_t(value) << 16) | (hiddenBits & 0xFFFFu) | ((hiddenBits >> 16) << 31);
  for (int i = 0; i <= drawsBefore; ++i) state = PreviousState(state);
  SeedRandom15(state);
}

}  // namespace random_control
