#pragma once
// The request words through which errors, the player and the user reach the frame loop. Any
// thread may set them; the frame loop reads and clears them after its wait for new samples.
#include <atomic>

extern std::atomic<int> ReinitRequest;         // rebuild state and pick a new effect
extern std::atomic<int> NewEffectRequest;      // pick a new effect (not while locked)
extern std::atomic<int> ChangeDrawingRequest;  // pick a new effect, locked or not
extern std::atomic<int> EffectLocked;          // flipped by the user's lock command
extern std::atomic<int> SceneInitFrame;        // a scene initialisation is under way

// Where every failure inside drawing and showing goes. It shows, logs and keeps nothing; it only
// makes the frame loop re-initialise and choose a new effect. Callers pass "" as both details.
void ReportError(const char* text, const char* detail1, const char* detail2) noexcept;

// Asks for a new effect after the current frame, unless the effect is locked or the scene is
// being rebuilt.
void RequestNewEffect() noexcept;

// Asks for a new effect after the current frame even when the effect is locked.
void RequestChangeDrawing() noexcept;
