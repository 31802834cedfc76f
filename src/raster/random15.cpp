#include "raster/random15.h"

namespace {
thread_local uint32_t random_state = 1;
}  // namespace

int NextRandom15() {
  random_state = random_state * 214013u + 2531011u;
  return int((random_state >> 16) & 0x7FFFu);
}

void SeedRandom15(uint32_t state) {
  random_state = state;
}
