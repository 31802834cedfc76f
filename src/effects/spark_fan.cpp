#include "effects/spark_fan.h"

#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "effects/scene_setup.h"

int sparkCentreOffsetX = 0;
int sparkCentreOffsetY = 0;

namespace {

constexpr int kStrokes = 17;

// A point `length` along direction entry `direction` from the fan centre. Rows above the picture
// are raised to row 0; columns are left to the line clipping.
PicturePoint FanPoint(int cx, int cy, int length, int direction, double k) {
  const Direction& d = DirectionTable[direction % kDirectionCount];
  const int x = int(cx + length * d.sine * k);
  const int y = int(cy + length * d.cosine * k);
  return {x, std::max(y, 0)};
}

}  // namespace

void DrawSparkFan() {
  if (beatMultiplier == 1) return;  // not a beat: no drawing and no random numbers
  if (RandomInt(2) != 0 && !particleBurstActive) {
    particleBurstActive = 1;  // this beat starts the particle burst instead
    return;
  }
  const int hw = pictureWidth / 2;
  const int hh = pictureHeight / 2;

  AverageBands(BandLevels, kSparkBands);
  // Tame the bass, which would otherwise dwarf the rest of the fan.
  BandLevels[0] /= 3;
  BandLevels[1] /= 3;
  BandLevels[2] /= 2;
  BandLevels[3] /= 2;

  const int rot = RandomInt(64);
  const double k = sizeScale * 0.5;
  const int cx = hw - sparkCentreOffsetX;
  const int cy = hh - sparkCentreOffsetY;
  SetPenWidth(1);
  SetDrawDensity(65535);
  for (int i = 0; i < kStrokes; ++i) {
    const int c = RandomInt(2);
    int j;
    int startLength;
    if (c == 0) {
      // A spoke from three quarters of its ray out to the tip.
      j = i == 0 ? kSparkBands : i;
      startLength = BandLevels[j] / 20;
    } else {
      // A chord from the previous ray. Stroke 0 has no previous ray: like stroke 1 it starts on
      // ray 1 (index 64), which keeps the band and direction indices inside their tables.
      j = i <= 1 ? kSparkBands : i - 1;
      BandLevels[j] = std::min(BandLevels[j], 100);
      startLength = BandLevels[j] / 15;
    }
    const PicturePoint from = FanPoint(cx, cy, startLength, rot + 4 * j, k);
    const PicturePoint to = FanPoint(cx, cy, BandLevels[i] / 15, rot + 4 * i, k);
    DrawColourLine(from.x, from.y, to.x, to.y, FrameColour);
  }

  sparkCentreOffsetX = hw - RandomInt(pictureWidth);
  sparkCentreOffsetY = hh - RandomInt(pictureHeight);
  // A round spot 32 pixels across, about one pixel in eleven lit.
  SetPenWidth(32);
  SetDrawDensity(3000);
  const int spotX = hw + sparkCentreOffsetX;
  const int spotY = hh + sparkCentreOffsetY;
  DrawColourLine(spotX, spotY, spotX, spotY, FrameColour);
}
