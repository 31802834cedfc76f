#include "effects/scene_setup.h"

#include <algorithm>
#include <cmath>

#include "effects/particle_effects.h"
#include "effects/random_sources.h"
#include "effects/scene.h"

int pictureWidth = 0;
int pictureHeight = 0;
Direction DirectionTable[kDirectionCount];
int normalPenWidth = 1;
int widePenWidth = 2;

// No drawing surface is larger (its clip rectangle is 16-bit); keeping the scene's size within
// it keeps every sum of sizes and offsets inside an int for any requested size.
constexpr int kLargestPictureSide = 32767;

void SetScenePictureSize(int width, int height) {
  pictureWidth = std::clamp(width, 0, kLargestPictureSide);
  pictureHeight = std::clamp(height, 0, kLargestPictureSide);
}

void SetUpScene(int width, int height) {
  SetScenePictureSize(width, height);
  InitDirectionTable();
  FillRandomTables();
  ResetEffectState();
  InitEmitters();
}

void InitDirectionTable() {
  const double step = kPi * 0.03225806451612903;
  for (int k = 0; k < kDirectionCount; ++k) {
    const double angle = (k - 2) * step;
    DirectionTable[k] = {std::sin(angle), std::cos(angle)};
  }
}

void ResetEffectState() {
  burstSize = 500;
  normalPenWidth = 1;
  scatterCentre = {pictureWidth / 2, pictureHeight / 2};
  widePenWidth = 2 + (pictureWidth > 1200 ? 1 : 0);
}
