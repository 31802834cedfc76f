#pragma once
// The request words through which errors, the player and the user reach the frame loop. Any
// thread may set them; the frame loop reads and clears them after its wait for new samples.
#include "platform/shared_word.h"

struct FrameRequests {
  platform::SharedWord<int> ReinitRequest;         // rebuild state and pick a new effect
  platform::SharedWord<int> NewEffectRequest;      // pick a new effect (not while locked)
  platform::SharedWord<int> ChangeDrawingRequest;  // pick a new effect, locked or not
  platform::SharedWord<int> EffectLocked;          // flipped by the user's lock command
  platform::SharedWord<int> SceneInitFrame;        // a scene initialisation is under way
};
// All 0 at load; reset with the frame loop (ResetFrameLoopState).
extern FrameRequests Requests;

// A test's view into the frame loop, all null in the product: `reported` sees each text passed to
// ReportError, and `entering` runs as a turn enters each of these stages and may throw there.
enum class TurnStage { kSceneSetUp, kDrawScene, kExtraPasses };
struct FrameLoopProbes {
  void (*reported)(const char* text) = nullptr;
  void (*entering)(TurnStage stage) = nullptr;
};
// Reset with the frame loop (ResetFrameLoopState); set only while no draw thread runs.
extern FrameLoopProbes Probes;

// Where every failure inside drawing and showing goes. It shows, logs and keeps nothing; it only
// makes the frame loop re-initialise and choose a new effect.
void ReportError(const char* text) noexcept;

// Asks for a new effect after the current frame, unless the effect is locked or the scene is
// being rebuilt.
void RequestNewEffect() noexcept;

// Asks for a new effect after the current frame even when the effect is locked.
void RequestChangeDrawing() noexcept;
