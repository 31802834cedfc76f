#include "effects/spark_fan.h"

#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_state.h"

namespace {

constexpr int kStrokes = 17;

// A point `length` along direction entry `direction` from the fan centre. Rows above the picture
// are raised to row 0; columns are left to the line clipping.
PicturePoint FanPoint(int cx, int cy, int length, int direction, double k) {
  const Direction& d = Scene.DirectionTable[direction % kDirectionCount];
  const int x = int(cx + length * d.sine * k);
  const int y = int(cy + length * d.cosine * k);
  return {x, std::max(y, 0)};
}

}  // namespace

void DrawSparkFan() {
  if (Scene.beatMultiplier == 1) return;  // not a beat: no drawing and no random numbers
  if (RandomInt(2) != 0 && !Scene.particleBurstActive) {
    Scene.particleBurstActive = 1;  // this beat starts the particle burst instead
    return;
  }
  const int hw = Scene.pictureWidth / 2;
  const int hh = Scene.pictureHeight / 2;

  AverageBands(Scene.BandLevels, kSparkBands);
  // Tame the bass, which would otherwise dwarf the rest of the fan.
  Scene.BandLevels[0] /= 3;
  Scene.BandLevels[1] /= 3;
  Scene.BandLevels[2] /= 2;
  Scene.BandLevels[3] /= 2;

  const int rot = RandomInt(64);
  const double k = Scene.sizeScale * 0.5;
  const int cx = hw - Scene.sparkCentreOffsetX;
  const int cy = hh - Scene.sparkCentreOffsetY;
  SetPenWidth(1);
  SetDrawDensity(65535);
  for (int i = 0; i < kStrokes; ++i) {
    const int c = RandomInt(2);
    int j;
    int startLength;
    if (c == 0) {
      // A spoke from three quarters of its ray out to the tip.
      j = i == 0 ? kSparkBands : i;
      startLength = Scene.BandLevels[j] / 20;
    } else {
      // A chord from the previous ray. Stroke 0 has no previous ray: like stroke 1 it starts on
      // ray 1 (index 64), which keeps the band and direction indices inside their tables.
      j = i <= 1 ? kSparkBands : i - 1;
      Scene.BandLevels[j] = std::min(Scene.BandLevels[j], 100);
      startLength = Scene.BandLevels[j] / 15;
    }
    const PicturePoint from = FanPoint(cx, cy, startLength, rot + 4 * j, k);
    const PicturePoint to = FanPoint(cx, cy, Scene.BandLevels[i] / 15, rot + 4 * i, k);
    DrawColourLine(from.x, from.y, to.x, to.y, Scene.FrameColour);
  }

  Scene.sparkCentreOffsetX = hw - RandomInt(Scene.pictureWidth);
  Scene.sparkCentreOffsetY = hh - RandomInt(Scene.pictureHeight);
  // A round spot 32 pixels across, about one pixel in eleven lit.
  SetPenWidth(32);
  SetDrawDensity(3000);
  const int spotX = hw + Scene.sparkCentreOffsetX;
  const int spotY = hh + Scene.sparkCentreOffsetY;
  DrawColourLine(spotX, spotY, spotX, spotY, Scene.FrameColour);
}
