#pragma once
// The emitter swarm (modes 22 and 24, and the three-emitter overlay): one emitter per spectrum
// band; a loud band's emitter steps and sprays dots, a quiet one is reseated unseen.
#include "effects/scene_state.h"

constexpr int kEmitterMargin = 32;

enum class EmitterReseat { kNearCentre, kAnywhere };

void DrawEmitterSwarm(EmitterReseat reseat);
void StepEmitter(int k);
// Adds a random nudge of up to 0.1 and keeps the component within -1..+1.
void NudgeVelocity(float& v);
// Defined with the other set-up entries in scene.h: void InitEmitters();
