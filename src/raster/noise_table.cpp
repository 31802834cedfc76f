#include "raster/noise_table.h"

#include "raster/random15.h"

void FillNoiseTable(NoiseTable& table) {
  for (int16_t& value : table.values) value = int16_t(NextRandom15());
}
