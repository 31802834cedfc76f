#pragma once
// The frame loop: rebuild on a size change, pace to about 30 frames a second, change the effect
// by itself every 31 s, draw, hand the frame over, carry out requests. The draw thread runs one
// turn per pass of its loop (RunFrame in draw_thread.h); a driver without a draw thread (the
// tests, a single-threaded page) runs the very same turn on its own thread:
//
//   ResetFrameLoopState();                        // once: the state of a fresh load
//   RunFrameTurn(target, ShowAndRefill, context); // per host call, with new samples in place
//
// where ShowAndRefill shows the finished picture and copies the next samples.
#include <cstdint>

#include "pipeline/picture_rect.h"
#include "platform/shared_word.h"

struct FrameLoopState {
  // The picture size the scene and the drawing surface were built for. The host thread reads
  // these to tell whether a finished frame has the size it asked for.
  platform::SharedWord<int> SceneWidth;
  platform::SharedWord<int> SceneHeight;
  platform::SharedWord<int> SceneReady;  // the drawing surface of the current scene exists

  // Pacing and effect clock; draw thread only.
  uint32_t FrameTime = 0;        // tick count at the start of this frame
  uint32_t LastFrameTime = 0;    // when the last frame passed the pacing test
  int FrameDelay = 0;            // least milliseconds between two frames, never below 0
  int TargetFrameRate = 30;      //
  uint32_t RateWindowStart = 0;  // start of the current measuring window
  uint32_t RateFrameCount = 0;   // frames counted in it
  uint32_t EffectStartTime = 0;  // start of the current effect's clock
  int AutoChangeHold = 0;        // the 31 s test rests for 5000 ms after it fired
  uint32_t HoldStart = 0;
  int AutoChangeDue = 0;           // the 31 s test fired in this frame
  int ReinitFrame = 0;             // this frame consumed a ReinitRequest
  uint32_t EffectChangeCount = 0;  // how many times a new effect was chosen
};
extern FrameLoopState Loop;

// How far a turn got.
enum class FrameStage {
  kEnded,    // nothing drawn: not due yet, or no surface could be made
  kRedrawn,  // drawn after a re-initialisation: not handed over, the loop goes straight on
  kHandedOver,
};

// One turn for the picture `target` (width right - left, height bottom - top). A drawn frame
// that is to be shown is handed over by handOver(context), which returns when the host has
// shown it and put new samples in place; then the requests are carried out.
FrameStage RunFrameTurn(const PictureRect& target, void (*handOver)(void* context), void* context);

// Step 1 of a turn when the size changed: destroys the old surface, sets the scene up for
// width x height (SetUpScene), asks for a re-initialisation and makes the surface. False when
// the surface could not be made (the turn then ends). Draw thread only.
bool InitialiseScene(int width, int height);

// Steps 8 to 13 of a turn: the audio measures, the overlays and the scene, with the samples
// already in place. What a turn draws once it is due.
void DrawSceneFrame();

// Runs DrawScene once in `mode` with OverlayPass set, then puts DrawingMode back.
void DrawOverlayPass(int mode);

// Destroys the surface and forgets the scene size, so the next start rebuilds everything.
// Only while no draw thread runs.
void ReleaseScene();

// Puts the loop's state and the request words back to their values at load (no scene, no
// effect clock, no pending requests). Only while no draw thread runs.
void ResetFrameLoopState();
