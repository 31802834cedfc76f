#include "fullscreen/gamma.h"

#include <cstdio>

int RaiseGammaLevel(int level) {
  return level > kGammaLevelTop - kGammaStep ? kGammaLevelTop : level + kGammaStep;
}

int LowerGammaLevel(int level) {
  return level < kGammaStep ? 0 : level - kGammaStep;
}

void FillGammaRamp(int level, GammaRamp* ramp) {
  // Unsigned arithmetic: the low 16 bits of the product, whatever the level, without overflow.
  const uint32_t step = static_cast<uint32_t>(level);
  for (uint32_t i = 0; i < 256; ++i) {
    const uint16_t entry = static_cast<uint16_t>(i * step);
    ramp->red[i] = entry;
    ramp->green[i] = entry;
    ramp->blue[i] = entry;
  }
}

const char* FormatGammaMessage(int level, char (&text)[kGammaTextBytes]) {
  std::snprintf(text, sizeof(text), "Gamma %d", level);
  return text;
}
