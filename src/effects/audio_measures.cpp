#include "effects/audio_measures.h"

#include <algorithm>

#include "effects/audio_samples.h"
#include "effects/scene.h"
#include "effects/scene_state.h"

void AnalyseAudioFrame() {
  const unsigned char* wave = Samples.WaveSamples[0];
  const int peak = *std::max_element(wave, wave + 1024);
  Scene.loudness = peak * peak / 8;
  Scene.beatFlag = Scene.loudness > Scene.previousLoudness + 1000 ? 1 : 0;
  Scene.previousLoudness = Scene.loudness;
  Scene.sizeScale = (Scene.pictureWidth + Scene.pictureHeight) * 0.0016666666666666668;
}

void AverageBands(int* out, int count) {
  if (count < 1) return;
  const unsigned char* spectrum = Samples.SpectrumSamples[0];
  const int step = 1024 / count;
  const int written = std::min(count, kBandLevelsSize);
  for (int b = 0; b < written; ++b) {
    const int start = b * step;
    const int end = std::min(start + step, 1023);
    int sum = 0;
    for (int i = start; i <= end; ++i) sum += spectrum[i];
    const double mean = double(sum) / (end - start + 1);
    const int level = int(mean - 1.0) * 16;
    out[b] = std::max(level, 0);
  }
}
