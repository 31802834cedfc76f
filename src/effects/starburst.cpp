#include "effects/starburst.h"

#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/frame_colour.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_setup.h"

Star Stars[kStarCount];
int starburstOffsetX = 0;
int starburstOffsetY = 0;
EffectColour starburstColour{0, 0, 0};
int starburstActive = 0;

namespace {
// Stars closer than this to an edge are skipped for the frame.
constexpr int kStarMargin = 32;
}  // namespace

void StartStarburst() {
  if (starburstActive) return;
  const int reach = std::min(pictureWidth, pictureHeight) / 2;
  for (Star& star : Stars) {
    const PicturePoint p = RandomRadiusPoint(0, 0, reach);
    star = {double(p.x), double(p.y), 7.0};
  }
  starburstOffsetX = RandomInt(pictureWidth) - pictureWidth / 2;
  starburstOffsetY = RandomInt(pictureHeight) - pictureHeight / 2;
  starburstActive = 1;
  starburstColour = FrameColour;
}

void DrawStarburstFrame() {
  const int halfWidth = pictureWidth / 2;
  const int halfHeight = pictureHeight / 2;
  for (Star& star : Stars) {
    // Nearer stars are fatter; the fat ones are stippled.
    SetPenWidth(int((loudness / 1000) / (star.z * star.z + 1)) + 1);
    SetDrawDensity(15000);
    const int sx = int(star.x / (star.z + 1) + halfWidth) + starburstOffsetX;
    const int sy = int(star.y / (star.z + 1) + halfHeight) + starburstOffsetY;
    star.z -= 0.5;
    // The rest of this frame's stars are still drawn.
    if (star.z <= 0) starburstActive = 0;
    if (sx >= kStarMargin && sx <= pictureWidth - kStarMargin && sy >= kStarMargin &&
        sy <= pictureHeight - kStarMargin) {
      DrawColourDot(sx, sy, starburstColour);
    }
  }
}
