#include "pipeline/draw_thread.h"

#include "pipeline/frame_loop.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "platform/fault_guard.h"

std::atomic<platform::EventHandle> FrameRequestEvent{nullptr};
std::atomic<platform::EventHandle> FrameDoneEvent{nullptr};
platform::ThreadHandle DrawThreadHandle = nullptr;
std::atomic<int> DrawThreadStop{0};
std::atomic<int> FirstRenderPending{1};
TargetRectWords TargetRect;

namespace {

constexpr int kStopTries = 10;
constexpr uint32_t kStopTryMs = 100;

void RunFrameAt(void* target) { RunFrame(*static_cast<const PictureRect*>(target)); }

void CloseEventWord(std::atomic<platform::EventHandle>& event) {
  platform::CloseEvent(event.exchange(nullptr));
}

}  // namespace

void SetTargetRect(const PictureRect& rect) {
  TargetRect.left = rect.left;
  TargetRect.top = rect.top;
  TargetRect.right = rect.right;
  TargetRect.bottom = rect.bottom;
}

PictureRect GetTargetRect() {
  return PictureRect{TargetRect.left, TargetRect.top, TargetRect.right, TargetRect.bottom};
}

int StartDrawThread() {
  // Only called while there is no thread; events left from an earlier failure are closed
  // rather than forgotten.
  CloseEventWord(FrameRequestEvent);
  CloseEventWord(FrameDoneEvent);
  DrawThreadHandle = nullptr;

  FrameRequestEvent = platform::OpenAutoResetEvent(kFrameRequestEventName);
  if (FrameRequestEvent == nullptr) return 0;
  FrameDoneEvent = platform::OpenAutoResetEvent(kFrameDoneEventName);
  if (FrameDoneEvent == nullptr) {
    CloseEventWord(FrameRequestEvent);
    return 0;
  }
  DrawThreadHandle = platform::CreateSuspendedThread(DrawThreadBody);
  if (DrawThreadHandle == nullptr) {
    CloseEventWord(FrameRequestEvent);
    CloseEventWord(FrameDoneEvent);
    return 0;
  }
  platform::SetThreadIdlePriority(DrawThreadHandle);
  FirstRenderPending = 1;
  return 1;
}

void ResumeDrawThread() {
  platform::ResumeSuspendedThread(DrawThreadHandle);
}

void StopDrawThread() {
  if (DrawThreadHandle != nullptr) {
    DrawThreadStop = 1;
    for (int attempt = 0; attempt < kStopTries; ++attempt) {
      if (DrawThreadStop == 0) break;
      platform::SignalEvent(FrameRequestEvent);  // releases a thread waiting for samples
      platform::SleepMilliseconds(kStopTryMs);
    }
    if (DrawThreadStop == 1) {
      platform::ForceEndThread(DrawThreadHandle);
      DrawThreadStop = 0;
    }
    platform::CloseThread(DrawThreadHandle);
    DrawThreadHandle = nullptr;
  }
  CloseEventWord(FrameRequestEvent);
  CloseEventWord(FrameDoneEvent);
  FirstRenderPending = 1;
}

void DrawThreadBody() {
  while (DrawThreadStop == 0) {
    PictureRect target = GetTargetRect();
    if (target.right != 0 && target.bottom != 0) {
      try {
        // A processor fault inside the frame is reported like an exception.
        if (!platform::RunGuardingFaults(RunFrameAt, &target)) {
          ReportError("Draw thread exception", "", "");
        }
      } catch (...) {
        platform::RethrowThreadCancellation();
        ReportError("Draw thread exception", "", "");
      }
    } else {
      platform::SleepMilliseconds(1);
    }
  }
  DrawThreadStop = 0;
}
