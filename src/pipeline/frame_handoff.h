#pragma once
// The host thread's half of the frame hand-off, shared by the Windows plug-in and the Linux
// front end. Each host call (about every 25 ms):
//
//   HandOffFrame(playing, rect, audio, steps);
//
// The first call creates the draw thread suspended, the next draws the about screen and lets
// the thread run, and from then on each call while playing waits at most 50 ms for the
// finished frame, shows it through steps.showPicture, copies the audio into the sample arrays
// and asks for the next frame. When not playing it draws the about screen. At the end:
//
//   ShutDownDrawing();
//
// ResetDrawing() puts the whole engine back to its load state (tests, and a front end that
// renders one piece after another).
//
// Everything here runs on one thread, the host's.
#include <cstdint>

#include "pipeline/picture_rect.h"
#include "pipeline/sample_copy.h"

// What showing means on this platform.
struct FrameShowSteps {
  void* context = nullptr;
  // Shows the finished picture, SceneWidth x SceneHeight, for the host rectangle `rect`. Runs
  // while the draw thread waits, so it may read the drawing surface (ReadShownPicture,
  // BlitDrawSurface). Its result becomes PresentFrame's. A throw is reported as "Dxk Blt error".
  int (*showPicture)(void* context, const PictureRect& rect, int width, int height) = nullptr;
  // Draws the about screen over `rect`, filling it with black first when `clear` is set.
  void (*drawAboutScreen)(void* context, const PictureRect& rect, bool clear) = nullptr;
};

// One call's audio: two channels of spectrum and waveform, kHostSampleCount bytes each.
struct HostAudio {
  const unsigned char (*spectrum)[kHostSampleCount] = nullptr;
  const char (*waveform)[kHostSampleCount] = nullptr;
};

inline constexpr int kHandOffStartFailed = int(0x80004005u);  // the draw thread cannot be started
inline constexpr uint32_t kFrameDoneWaitMs = 50;

struct HandOffState {
  // Whether this host call took a finished frame from the draw thread: only then may it copy new
  // samples, and then it always asks for the next frame. Host thread only; 0 at the start of
  // every call.
  int SamplesWanted = 0;
};
extern HandOffState HandOff;

// Publishes `rect` as the wanted picture and, when a frame of that size is ready within 50 ms,
// shows it. A frame finished at an old size is taken without showing it, so the draw thread can
// go on and rebuild. Sets SamplesWanted when it took a frame; returns showPicture's result, or 0.
int PresentFrame(const PictureRect& rect, const FrameShowSteps& steps);

// The draw-thread side of one host call: starts or resumes the draw thread, or presents the
// finished frame and hands over `audio`. `playing` is the host's play state for this call (0
// for a repaint). Returns 0, or kHandOffStartFailed when the draw thread cannot be started.
int HandOffFrame(int playing, const PictureRect& rect, const HostAudio& audio,
                 const FrameShowSteps& steps);

// Stops the draw thread, destroys the surface and forgets the scene size and target, so the
// next HandOffFrame starts from scratch.
void ShutDownDrawing();

// ShutDownDrawing, then every state record of the draw thread, the hand-off, the frame loop and
// the scene back to its load value, and the sample arrays silent: the engine as just loaded
// (the draw thread's random generator excepted).
void ResetDrawing();
