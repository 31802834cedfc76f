#pragma once
// Puts the draw thread's generator where a test needs it: the next rand() values fall in given
// ranges.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

#include "raster/random15.h"

namespace random_control {

// The state before `state`: 0xB9B33155 is the inverse of the multiplier 214013 modulo 2^32.
inline uint32_t PreviousState(uint32_t state) {
  return (state - 2531011u) * 0xB9B33155u;
}

// Seeds the generator so that the next draws fall in the given inclusive ranges of rand() values,
// one range per draw. Gives the seed, or nothing when no state fits.
inline std::optional<uint32_t> SeedSoDrawsFall(std::initializer_list<std::pair<int, int>> ranges) {
  const std::pair<int, int>* r = ranges.begin();
  const int n = int(ranges.size());
  int narrow = 0;  // enumerate the states whose draw is in the narrowest range
  for (int i = 1; i < n; ++i)
    if (r[i].second - r[i].first < r[narrow].second - r[narrow].first) narrow = i;
  for (int value = r[narrow].first; value <= r[narrow].second; ++value) {
    for (uint32_t hidden = 0; hidden < (1u << 17); ++hidden) {
      uint32_t seed = (uint32_t(value) << 16) | (hidden & 0xFFFFu) | ((hidden >> 16) << 31);
      for (int i = 0; i <= narrow; ++i) seed = PreviousState(seed);
      uint32_t state = seed;
      bool fits = true;
      for (int i = 0; i < n && fits; ++i) {
        state = state * 214013u + 2531011u;
        const int drawn = int((state >> 16) & 32767u);
        fits = drawn >= r[i].first && drawn <= r[i].second;
      }
      if (fits) {
        SeedRandom15(seed);
        return seed;
      }
    }
  }
  return std::nullopt;
}

}  // namespace random_control
