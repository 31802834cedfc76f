#include "effects/scene.h"

#include <algorithm>
#include <cmath>

#include "effects/particle_effects.h"
#include "effects/random_sources.h"

// No drawing surface is larger (its clip rectangle is 16-bit); keeping the scene's size within
// it keeps every sum of sizes and offsets inside an int for any requested size.
constexpr int kLargestPictureSide = 32767;

void SetScenePictureSize(int width, int height) {
  Scene.pictureWidth = std::clamp(width, 0, kLargestPictureSide);
  Scene.pictureHeight = std::clamp(height, 0, kLargestPictureSide);
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
    Scene.DirectionTable[k] = {std::sin(angle), std::cos(angle)};
  }
}

void ResetEffectState() {
  Scene.burstSize = 500;
  Scene.normalPenWidth = 1;
  Scene.scatterCentre = {Scene.pictureWidth / 2, Scene.pictureHeight / 2};
  Scene.widePenWidth = 2 + (Scene.pictureWidth > 1200 ? 1 : 0);
}
