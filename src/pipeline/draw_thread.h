#pragma once
// The draw thread: created suspended, resumed by the host's next call, stopped by Quit and by
// every full-screen switch. Two named auto-reset events pace it against the host's calls:
// the thread signals FrameDoneEvent when a frame is drawn and then waits for FrameRequestEvent,
// which the host signals after it has shown the frame and copied new samples.
#include "pipeline/picture_rect.h"
#include "platform/event.h"
#include "platform/shared_word.h"
#include "platform/thread.h"

inline constexpr const char* kFrameRequestEventName = "AudioVevirurDrawThreadEvent";
inline constexpr const char* kFrameDoneEventName = "AudioVevirurDrawThreadEvent2";

// The rectangle the host thread last asked for; the draw thread draws while right and bottom
// are both nonzero.
struct TargetRectWords {
  platform::SharedWord<int> left;
  platform::SharedWord<int> top;
  platform::SharedWord<int> right;
  platform::SharedWord<int> bottom;
};

struct DrawThreadState {
  platform::SharedWord<platform::EventHandle> FrameRequestEvent;
  platform::SharedWord<platform::EventHandle> FrameDoneEvent;
  platform::ThreadHandle DrawThreadHandle = nullptr;  // host thread only; null when there is none
  platform::SharedWord<int> DrawThreadStop;  // 1 asks the thread to end; it clears it as it ends
  platform::SharedWord<int> FirstRenderPending{1};  // the thread exists but was never resumed
  TargetRectWords TargetRect;
};
// The host thread's view of the draw thread; StopDrawThread and ShutDownDrawing bring it back to
// its load state apart from the target, which ShutDownDrawing zeroes.
extern DrawThreadState DrawThread;

void SetTargetRect(const PictureRect& rect);
PictureRect GetTargetRect();

// Opens both events and creates the thread suspended at idle priority. Returns 1 on success,
// 0 on failure (then nothing stays open).
int StartDrawThread();

// Lets the created thread run; FirstRenderPending is the caller's to clear.
void ResumeDrawThread();

// Asks the thread to end, up to ten times 100 ms apart, then forces it to end and waits a bounded
// time for it to be gone; closes both events and sets FirstRenderPending. Safe without a thread.
void StopDrawThread();

// One turn of the frame loop on the draw thread: a frame to be shown is handed over by signalling
// FrameDoneEvent and waiting for FrameRequestEvent.
void RunFrame(const PictureRect& target);

// The thread's body: one frame per turn while a target is set, 1 ms naps otherwise.
void DrawThreadBody();
