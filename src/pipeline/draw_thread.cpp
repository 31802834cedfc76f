#include "pipeline/draw_thread.h"

#include "pipeline/frame_loop.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "platform/fault_guard.h"

DrawThreadState DrawThread;

namespace {

constexpr int kStopTries = 10;
constexpr uint32_t kStopTryMs = 100;

void RunFrameAt(void* target) {
  RunFrame(*static_cast<const PictureRect*>(target));
}

void CloseEventWord(platform::SharedWord<platform::EventHandle>& event) {
  platform::CloseEvent(event.exchange(nullptr));
}

void SignalDoneAndWait(void*) {
  platform::SignalEvent(DrawThread.FrameDoneEvent);
  platform::WaitEvent(DrawThread.FrameRequestEvent, platform::kWaitForever);
}

}  // namespace

void SetTargetRect(const PictureRect& rect) {
  TargetRectWords& words = DrawThread.TargetRect;
  words.left = rect.left;
  words.top = rect.top;
  words.right = rect.right;
  words.bottom = rect.bottom;
}

PictureRect GetTargetRect() {
  const TargetRectWords& words = DrawThread.TargetRect;
  return PictureRect{words.left, words.top, words.right, words.bottom};
}

int StartDrawThread() {
  // Only called while there is no thread; events left from an earlier failure are closed
  // rather than forgotten.
  CloseEventWord(DrawThread.FrameRequestEvent);
  CloseEventWord(DrawThread.FrameDoneEvent);
  DrawThread.DrawThreadHandle = nullptr;

  DrawThread.FrameRequestEvent = platform::OpenAutoResetEvent(kFrameRequestEventName);
  if (DrawThread.FrameRequestEvent == nullptr) return 0;
  DrawThread.FrameDoneEvent = platform::OpenAutoResetEvent(kFrameDoneEventName);
  if (DrawThread.FrameDoneEvent == nullptr) {
    CloseEventWord(DrawThread.FrameRequestEvent);
    return 0;
  }
  DrawThread.DrawThreadHandle = platform::CreateSuspendedThread(DrawThreadBody);
  if (DrawThread.DrawThreadHandle == nullptr) {
    CloseEventWord(DrawThread.FrameRequestEvent);
    CloseEventWord(DrawThread.FrameDoneEvent);
    return 0;
  }
  platform::SetThreadIdlePriority(DrawThread.DrawThreadHandle);
  DrawThread.FirstRenderPending = 1;
  return 1;
}

void ResumeDrawThread() {
  platform::ResumeSuspendedThread(DrawThread.DrawThreadHandle);
}

void StopDrawThread() {
  if (DrawThread.DrawThreadHandle != nullptr) {
    DrawThread.DrawThreadStop = 1;
    for (int attempt = 0; attempt < kStopTries; ++attempt) {
      if (DrawThread.DrawThreadStop == 0) break;
      platform::SignalEvent(DrawThread.FrameRequestEvent);  // releases a thread waiting for samples
      platform::SleepMilliseconds(kStopTryMs);
    }
    if (DrawThread.DrawThreadStop == 1) {
      platform::ForceEndThread(DrawThread.DrawThreadHandle);
      DrawThread.DrawThreadStop = 0;
    }
    platform::CloseThread(DrawThread.DrawThreadHandle);
    DrawThread.DrawThreadHandle = nullptr;
  }
  CloseEventWord(DrawThread.FrameRequestEvent);
  CloseEventWord(DrawThread.FrameDoneEvent);
  DrawThread.FirstRenderPending = 1;
}

void RunFrame(const PictureRect& target) {
  RunFrameTurn(target, SignalDoneAndWait, nullptr);
}

void DrawThreadBody() {
  while (DrawThread.DrawThreadStop == 0) {
    PictureRect target = GetTargetRect();
    if (target.right != 0 && target.bottom != 0) {
      try {
        // A processor fault inside the frame is reported like an exception.
        if (!platform::RunGuardingFaults(RunFrameAt, &target)) {
          ReportError("Draw thread exception");
        }
      } catch (...) {
        platform::RethrowThreadCancellation();
        ReportError("Draw thread exception");
      }
    } else {
      platform::SleepMilliseconds(1);
    }
  }
  DrawThread.DrawThreadStop = 0;
}
