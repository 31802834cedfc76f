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

void SetScenePictureSize(int width, int height) {
  pictureWidth = std::max(width, 0);
  pictureHeight = std::max(height, 0);
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
