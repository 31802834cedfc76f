// POSIX threads with a start gate for the suspended state and deferred cancellation for the
// forced end (see thread.h).
#include <cxxabi.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/thread.h"

namespace platform {
namespace {

enum class Gate { kSuspended, kRunning, kDiscarded };

// How long a forced end waits for the thread to reach its next cancellation point. A busy thread
// gets there within a frame; one that does not is left to end by itself.
constexpr auto kForcedEndWait = std::chrono::seconds(5);

struct ThreadState {
  ThreadBody body = nullptr;
  std::mutex lock;
  std::condition_variable opened;
  std::condition_variable ended;
  Gate gate = Gate::kSuspended;       // guarded by lock
  std::atomic<bool> finished{false};  // the start routine is past the body, or unwinding out
};

struct ThreadRecord {
  pthread_t id{};
  std::shared_ptr<ThreadState> state;
  bool joined = false;     // reaped by a forced end
  bool discarded = false;  // ended before it ran: it leaves at once
};

// Marks the start routine as done however it leaves: by returning or by cancellation unwinding.
struct FinishedMark {
  ThreadState& state;
  ~FinishedMark() {
    std::lock_guard<std::mutex> hold(state.lock);
    state.finished = true;
    state.ended.notify_all();
  }
};

std::atomic<int> open_handles{0};

void* StartRoutine(void* argument) {
  std::shared_ptr<ThreadState> state(
      std::move(*static_cast<std::shared_ptr<ThreadState>*>(argument)));
  delete static_cast<std::shared_ptr<ThreadState>*>(argument);
  const FinishedMark mark{*state};
  Gate gate;
  {
    std::unique_lock<std::mutex> hold(state->lock);
    state->opened.wait(hold, [&] { return state->gate != Gate::kSuspended; });
    gate = state->gate;
  }
  if (gate == Gate::kRunning) state->body();
  return nullptr;
}

ThreadRecord* Record(ThreadHandle thread) {
  return static_cast<ThreadRecord*>(thread);
}

bool OpenGate(ThreadRecord* record, Gate gate) {
  std::lock_guard<std::mutex> hold(record->state->lock);
  if (record->state->gate != Gate::kSuspended) return false;
  record->state->gate = gate;
  record->state->opened.notify_all();
  return true;
}

}  // namespace

ThreadHandle CreateSuspendedThread(ThreadBody body) {
  if (body == nullptr) return nullptr;
  try {
    auto record = std::make_unique<ThreadRecord>();
    record->state = std::make_shared<ThreadState>();
    record->state->body = body;
    auto* argument = new std::shared_ptr<ThreadState>(record->state);
    if (pthread_create(&record->id, nullptr, StartRoutine, argument) != 0) {
      delete argument;
      return nullptr;
    }
    ++open_handles;
    return record.release();
  } catch (...) {
    return nullptr;
  }
}

bool SetThreadIdlePriority(ThreadHandle thread) {
  if (thread == nullptr) return false;
  sched_param parameters{};
  parameters.sched_priority = 0;
  return pthread_setschedparam(Record(thread)->id, SCHED_IDLE, &parameters) == 0;
}

bool SetCurrentThreadNormalPriority() {
  sched_param parameters{};
  parameters.sched_priority = 0;
  return pthread_setschedparam(pthread_self(), SCHED_OTHER, &parameters) == 0;
}

bool ResumeSuspendedThread(ThreadHandle thread) {
  return thread != nullptr && OpenGate(Record(thread), Gate::kRunning);
}

bool ForceEndThread(ThreadHandle thread) {
  if (thread == nullptr) return false;
  ThreadRecord* record = Record(thread);
  if (OpenGate(record, Gate::kDiscarded)) {
    record->discarded = true;
    return true;
  }
  if (record->state->finished) return true;
  if (pthread_cancel(record->id) != 0) return false;
  // Cancellation only takes effect at the thread's next sleep or wait; until then it may still
  // be drawing. It is reaped here once it has unwound, so it never runs beside a successor.
  {
    std::unique_lock<std::mutex> hold(record->state->lock);
    if (!record->state->ended.wait_for(hold, kForcedEndWait,
                                       [&] { return record->state->finished.load(); }))
      return false;
  }
  pthread_join(record->id, nullptr);
  record->joined = true;
  return true;
}

void CloseThread(ThreadHandle thread) {
  if (thread == nullptr) return;
  ThreadRecord* record = Record(thread);
  // A thread that is done (or leaving without having run) is reaped now, so it leaves nothing
  // behind; one still running is left to clean up after itself when it ends, as a Windows
  // thread does after CloseHandle.
  if (record->joined) {
  } else if (record->state->finished || record->discarded) {
    pthread_join(record->id, nullptr);
  } else {
    pthread_detach(record->id);
  }
  delete record;
  --open_handles;
}

// glibc's cancellation unwinding carries no exception object, so the handler's reference is
// null by design; the sanitizer's null check would call that a fault.
__attribute__((no_sanitize("undefined"))) void RethrowThreadCancellation() {
  try {
    throw;
  } catch (abi::__forced_unwind&) {
    throw;
  } catch (...) {
  }
}

int OpenThreadHandleCount() {
  return open_handles;
}

}  // namespace platform
