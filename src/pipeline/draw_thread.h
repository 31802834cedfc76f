#pragma once
// The draw thread: created suspended, resumed by the host's next call, stopped by Quit and by
// every full-screen switch. Two named auto-reset events pace it against the host's calls:
// the thread signals FrameDoneEvent when a frame is drawn and then waits for FrameRequestEvent,
// which the host signals after it has shown the frame and copied new samples.
#include <atomic>

#include "pipeline/picture_rect.h"
#include "platform/event.h"
#include "platform/thread.h"

inline constexpr const char* kFrameRequestEventName = "AudioVevirurDrawThreadEvent";
inline constexpr const char* kFrameDoneEventName = "AudioVevirurDrawThreadEvent2";

extern std::atomic<platform::EventHandle> FrameRequestEvent;
extern std::atomic<platform::EventHandle> FrameDoneEvent;
extern platform::ThreadHandle DrawThreadHandle;  // host thread only; null when there is none
extern std::atomic<int> DrawThreadStop;      // 1 asks the thread to end; it clears it as it ends
extern std::atomic<int> FirstRenderPending;  // the thread exists but was never resumed

// The rectangle the host thread last asked for; the draw thread draws while right and bottom
// are both nonzero.
struct TargetRectWords {
  std::atomic<int> left{0};
  std::atomic<int> top{0};
  std::atomic<int> right{0};
  std::atomic<int> bottom{0};
};
extern TargetRectWords TargetRect;
void SetTargetRect(const PictureRect& rect);
PictureRect GetTargetRect();

// Opens both events and creates the thread suspended at idle priority. Returns 1 on success,
// 0 on failure (then nothing stays open).
int StartDrawThread();

// Lets the created thread run; FirstRenderPending is the caller's to clear.
void ResumeDrawThread();

// Asks the thread to end, up to ten times 100 ms apart, then forces it to end; closes both
// events and sets FirstRenderPending. Safe without a thread.
void StopDrawThread();

// The thread's body: one frame per turn while a target is set, 1 ms naps otherwise.
void DrawThreadBody();
