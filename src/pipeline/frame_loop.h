#pragma once
// One turn of the draw thread: rebuild on a size change, pace to about 30 frames a second,
// change the effect by itself every 31 s, draw, hand the frame over, carry out requests.
#include <atomic>
#include <cstdint>

#include "pipeline/picture_rect.h"

// The picture size the scene and the drawing surface were built for. The host thread reads
// these to tell whether a finished frame has the size it asked for.
extern std::atomic<int> SceneWidth;
extern std::atomic<int> SceneHeight;
extern std::atomic<int> SceneReady;  // the drawing surface of the current scene exists

// Pacing and effect clock; draw thread only.
extern uint32_t FrameTime;        // tick count at the start of this frame
extern uint32_t LastFrameTime;    // when the last frame passed the pacing test
extern int FrameDelay;            // least milliseconds between two frames, never below 0
extern int TargetFrameRate;       // 30
extern uint32_t RateWindowStart;  // start of the current measuring window
extern uint32_t RateFrameCount;   // frames counted in it
extern uint32_t EffectStartTime;  // start of the current effect's clock
extern int AutoChangeHold;        // the 31 s test rests for 5000 ms after it fired
extern uint32_t HoldStart;
extern int AutoChangeDue;           // the 31 s test fired in this frame
extern int ReinitFrame;             // this frame consumed a ReinitRequest
extern uint32_t EffectChangeCount;  // how many times a new effect was chosen

void RunFrame(const PictureRect& target);

// Runs DrawScene once in `mode` with OverlayPass set, then puts DrawingMode back.
void DrawOverlayPass(int mode);

// Destroys the surface and forgets the scene size, so the next start rebuilds everything.
// Only while no draw thread runs.
void ReleaseScene();

// Puts the loop's state back to its values at load (no effect clock, no pending requests).
// Only while no draw thread runs.
void ResetFrameLoopState();
