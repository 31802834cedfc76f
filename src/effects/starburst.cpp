#include "effects/starburst.h"

#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_state.h"

namespace {
// Stars closer than this to an edge are skipped for the frame.
constexpr int kStarMargin = 32;
}  // namespace

void StartStarburst() {
  if (Scene.starburstActive) return;
  const int reach = std::min(Scene.pictureWidth, Scene.pictureHeight) / 2;
  for (Star& star : Scene.Stars) {
    const PicturePoint p = RandomRadiusPoint(0, 0, reach);
    star = {double(p.x), double(p.y), 7.0};
  }
  Scene.starburstOffsetX = RandomInt(Scene.pictureWidth) - Scene.pictureWidth / 2;
  Scene.starburstOffsetY = RandomInt(Scene.pictureHeight) - Scene.pictureHeight / 2;
  Scene.starburstActive = 1;
  Scene.starburstColour = Scene.FrameColour;
}

void DrawStarburstFrame() {
  const int halfWidth = Scene.pictureWidth / 2;
  const int halfHeight = Scene.pictureHeight / 2;
  for (Star& star : Scene.Stars) {
    // Nearer stars are fatter; the fat ones are stippled.
    SetPenWidth(int((Scene.loudness / 1000) / (star.z * star.z + 1)) + 1);
    SetDrawDensity(15000);
    const int sx = int(star.x / (star.z + 1) + halfWidth) + Scene.starburstOffsetX;
    const int sy = int(star.y / (star.z + 1) + halfHeight) + Scene.starburstOffsetY;
    star.z -= 0.5;
    // The rest of this frame's stars are still drawn.
    if (star.z <= 0) Scene.starburstActive = 0;
    if (sx >= kStarMargin && sx <= Scene.pictureWidth - kStarMargin && sy >= kStarMargin &&
        sy <= Scene.pictureHeight - kStarMargin) {
      DrawColourDot(sx, sy, Scene.starburstColour);
    }
  }
}
