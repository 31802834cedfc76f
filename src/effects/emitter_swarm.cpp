#include "effects/emitter_swarm.h"

#include <algorithm>

#include "effects/audio_measures.h"
#include "effects/dot_cloud.h"
#include "effects/frame_colour.h"
#include "effects/random_sources.h"
#include "effects/scene.h"
#include "effects/scene_state.h"

void InitEmitters() {
  Scene.emitterCount = std::min(Scene.pictureWidth / 8, kEmitterRecords);
  const int reach = std::min(Scene.pictureWidth, Scene.pictureHeight) / 8;
  for (Emitter& emitter : Scene.Emitters) {
    const PicturePoint p =
        RandomRadiusPoint(Scene.pictureWidth / 2, Scene.pictureHeight / 2, reach);
    emitter.x = float(p.x);
    emitter.y = float(p.y);
    emitter.vx = RandomFloat(2.0f) - 1.0f;
    emitter.vy = RandomFloat(2.0f) - 1.0f;
  }
}

void NudgeVelocity(float& v) {
  const double nudged = v + RandomNudge();
  v = float(std::clamp(nudged, -1.0, 1.0));
}

void StepEmitter(int k) {
  Emitter& emitter = Scene.Emitters[k];
  constexpr double margin = kEmitterMargin;
  constexpr double halfMargin = kEmitterMargin / 2;
  // One reflection per step whatever the overshoot; later steps bring a stray emitter back.
  double x = emitter.x + double(Scene.emitterSpeed) * emitter.vx;
  if (x < margin) {
    x = margin - x;
    emitter.vx = -emitter.vx;
    NudgeVelocity(emitter.vx);
  } else if (x + halfMargin > Scene.pictureWidth - 1) {
    x = 2.0 * Scene.pictureWidth - x - margin + 1;
    emitter.vx = -emitter.vx;
    NudgeVelocity(emitter.vx);
  }
  emitter.x = float(x);
  // The vertical margins are the horizontal ones swapped, and a vertical bounce nudges vx.
  double y = emitter.y + double(Scene.emitterSpeed) * emitter.vy;
  if (y < halfMargin) {
    y = margin - y;
    emitter.vy = -emitter.vy;
    NudgeVelocity(emitter.vx);
  } else if (y + margin > Scene.pictureHeight - 1) {
    y = 2.0 * Scene.pictureHeight - y - margin + 1;
    emitter.vy = -emitter.vy;
    NudgeVelocity(emitter.vx);
  }
  emitter.y = float(y);

  SetPenWidth(Scene.beatHold != 0 ? Scene.widePenWidth : Scene.normalPenWidth);
  SetDrawDensity(65535);
  DrawDotCloud(int(emitter.x), int(emitter.y),
               std::min(Scene.pictureWidth, Scene.pictureHeight) / 4, Scene.loudness / 16,
               Scene.FrameColour);
}

void DrawEmitterSwarm(EmitterReseat reseat) {
  const bool overlay = Scene.OverlayPass != 0;
  const int count = overlay ? 3 : Scene.emitterCount;
  const int cap = overlay ? 256 : 2048;
  if (!overlay) Scene.particleBurstActive = 1;
  Scene.emitterSpeed = float((Scene.loudness / 50) * Scene.beatMultiplier);

  int fired = 0;
  // Pictures narrower than 8 pixels have no bands to analyse; one emitter still steps below.
  if (count > 0) {
    AverageBands(Scene.BandLevels, count);
    // Damp the bass: the first six bands are divided by 3, 3, 2, 2, 1, 1.
    for (int e = 0; e < 6 && e < count; ++e) Scene.BandLevels[e] /= 3 - e / 2;
    const int threshold = std::min(2 * Scene.loudness, cap);
    for (int e = 0; e < count; ++e) {
      if (Scene.BandLevels[e] > threshold) {
        ++fired;
        StepEmitter(e);
      } else if (reseat == EmitterReseat::kNearCentre) {
        const PicturePoint p =
            RandomRadiusPoint(Scene.pictureWidth / 2, Scene.pictureHeight / 2,
                              std::min(Scene.pictureWidth, Scene.pictureHeight) / 2);
        Scene.Emitters[e].x = float(p.x);
        Scene.Emitters[e].y = float(p.y);
      } else {
        const int x = RandomInt(Scene.pictureWidth);
        const int y = RandomInt(Scene.pictureHeight);
        Scene.Emitters[e].x = float(x);
        Scene.Emitters[e].y = float(y);
      }
    }
  }
  // At least one emitter sprays every frame. The draw can name emitterCount itself (once in
  // 32768); with all 255 emitters in use that would be past the records, so it takes the last.
  if (fired == 0) StepEmitter(std::min(RandomInt(Scene.emitterCount), kEmitterRecords - 1));
}
