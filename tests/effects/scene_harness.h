#pragma once
// Drives the scene engine with the frame loop's own calls (its scene initialisation, then its
// per-frame drawing, DrawSceneFrame), with a fixed synthetic audio sequence. Shared by the effect
// tests and the effect benchmark.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effects/audio_samples.h"
#include "effects/scene.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_loop.h"
#include "raster/draw_surface.h"
#include "raster/drawing.h"
#include "raster/random15.h"

namespace scene_harness {

// Puts the engine back to its load state with the generator at 1 and builds a scene of w x h.
inline bool StartScene(int width, int height) {
  ResetDrawing();
  SeedRandom15(1);
  return InitialiseScene(width, height) && Loop.SceneReady;
}

// Fills every sample byte of the left channel with one value each (right channel silent).
inline void FillSamples(int spectrumByte, int waveByte) {
  std::memset(Samples.SpectrumSamples[0], spectrumByte, 1024);
  std::memset(Samples.WaveSamples[0], waveByte, 1024);
  std::memset(Samples.SpectrumSamples[1], 0, 1024);
  std::memset(Samples.WaveSamples[1], 128, 1024);
}

// Frame `frame` of a synthetic piece of music: a waveform whose peak swells from 170 to 255 on
// every fourth frame (a beat), and a spectrum with strong, slowly moving bass, a middle band and
// a sparkling top. `loud` keeps every band high so that all emitters fire.
inline void FillMusic(int frame, bool loud) {
  FillSamples(0, 128);
  unsigned char* wave = Samples.WaveSamples[0];
  unsigned char* spectrum = Samples.SpectrumSamples[0];
  const bool beat = frame % 4 == 0;
  const int amplitude = beat ? 127 : 42 + (frame % 3) * 5;
  for (int i = 0; i < 1024; ++i) {
    const int v = 128 + int(amplitude * std::sin(i * 0.07 + frame * 0.9));
    wave[i] = uint8_t(std::clamp(v, 0, 255));
    int level;
    if (loud) {
      level = 200 + (i * 7 + frame * 13) % 56;
    } else {
      const double bass = i < 300 ? 230.0 - i * 0.3 : 0.0;
      const double middle = 120.0 * std::exp(-std::pow((i - 500 - 30 * (frame % 5)) / 90.0, 2));
      const double top = i > 700 ? 60.0 + ((i * 31 + frame * 17) % 97) : 0.0;
      level = int(bass + middle + top);
    }
    spectrum[i] = uint8_t(std::clamp(level, 0, 255));
  }
  wave[1023] = 0;
  spectrum[1023] = 0;
}

// Whether picture pixel (x, y) of the current 16-bit surface is not black.
inline bool Lit(int x, int y) {
  const DrawSurface* s = CurrentDrawSurface();
  const uint8_t* row = s->Bits() + size_t(s->Height() - 1 - y) * size_t(s->Stride());
  return (row[2 * x] | row[2 * x + 1]) != 0;
}

}  // namespace scene_harness
