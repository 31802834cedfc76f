#pragma once
// The full-screen gamma level (DDGammaRamp) and the ramp it gives: PLUS and MINUS move the level
// by 8 within 0..256, and the ramp is the same straight line for red, green and blue.
#include <cstddef>
#include <cstdint>

inline constexpr int kGammaStep = 8;
inline constexpr int kGammaLevelTop = 256;  // 0, 256, 512 ... 65280: the full output range

// PLUS: 8 up, at most 256. A level already above 256 (from the settings file) comes down to 256.
int RaiseGammaLevel(int level);
// MINUS: 8 down, at least 0.
int LowerGammaLevel(int level);

// Laid out as DirectDraw's gamma ramp: 256 red entries, then green, then blue.
struct GammaRamp {
  uint16_t red[256];
  uint16_t green[256];
  uint16_t blue[256];
};
static_assert(sizeof(GammaRamp) == 3 * 256 * 2);

// Entry i of every colour = i x level, kept to its low 16 bits (so a level above 256 wraps).
void FillGammaRamp(int level, GammaRamp* ramp);

// "Gamma 208", the message shown after PLUS and MINUS. Returns `text`.
inline constexpr size_t kGammaTextBytes = 24;
const char* FormatGammaMessage(int level, char (&text)[kGammaTextBytes]);
