// Named auto-reset events inside one process. Handles are numbers looked up in a table, so a
// stale or closed handle fails cleanly instead of touching freed memory, and a waiter keeps its
// event alive even if the last handle is closed meanwhile (a stopped draw thread may still be
// unwinding out of its wait).
#include <pthread.h>
#include <time.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/system_event.h"

namespace platform {
namespace {

struct EventObject {
  EventObject() {
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&signalled_cond, &attributes);
    pthread_condattr_destroy(&attributes);
    pthread_mutex_init(&mutex, nullptr);
  }
  ~EventObject() {
    pthread_cond_destroy(&signalled_cond);
    pthread_mutex_destroy(&mutex);
  }
  std::string name;
  int handles = 0;  // guarded by the registry lock
  pthread_mutex_t mutex;
  pthread_cond_t signalled_cond;
  bool signalled = false;  // guarded by mutex
};

struct Registry {
  std::mutex lock;
  std::map<std::string, std::shared_ptr<EventObject>> by_name;
  std::map<uintptr_t, std::shared_ptr<EventObject>> by_handle;
  uintptr_t next_handle = 1;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::shared_ptr<EventObject> Lookup(EventHandle handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto found = registry.by_handle.find(reinterpret_cast<uintptr_t>(handle));
  return found == registry.by_handle.end() ? nullptr : found->second;
}

// Unlocks on every way out, including the forced unwinding of a cancelled thread, which
// leaves pthread_cond_wait with the mutex held.
class MutexHold {
 public:
  explicit MutexHold(pthread_mutex_t& mutex) : mutex_(mutex) { pthread_mutex_lock(&mutex_); }
  ~MutexHold() { pthread_mutex_unlock(&mutex_); }
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;

 private:
  pthread_mutex_t& mutex_;
};

timespec DeadlineAfter(uint32_t milliseconds) {
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += time_t(milliseconds / 1000);
  deadline.tv_nsec += long(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  return deadline;
}

}  // namespace

EventHandle OpenAutoResetEvent(const char* name) {
  try {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    std::shared_ptr<EventObject> event;
    if (name != nullptr) {
      auto found = registry.by_name.find(name);
      if (found != registry.by_name.end()) event = found->second;
    }
    if (!event) {
      event = std::make_shared<EventObject>();
      if (name != nullptr) {
        event->name = name;
        registry.by_name[name] = event;
      }
    }
    const uintptr_t handle = registry.next_handle++;
    registry.by_handle[handle] = event;
    ++event->handles;
    return reinterpret_cast<EventHandle>(handle);
  } catch (...) {
    return nullptr;
  }
}

bool SignalEvent(EventHandle handle) {
  std::shared_ptr<EventObject> event = Lookup(handle);
  if (!event) return false;
  MutexHold hold(event->mutex);
  event->signalled = true;
  pthread_cond_signal(&event->signalled_cond);
  return true;
}

EventWait SystemTakeEventIfSignalled(EventHandle handle) {
  std::shared_ptr<EventObject> event = Lookup(handle);
  if (!event) return EventWait::kFailed;
  MutexHold hold(event->mutex);
  if (!event->signalled) return EventWait::kTimedOut;
  event->signalled = false;
  return EventWait::kTaken;
}

EventWait SystemWaitEvent(EventHandle handle, uint32_t milliseconds) {
  // Every wait ends a force-ended thread, also one that fails or does not block: a draw loop
  // whose events were closed under it would otherwise never reach a cancellation point.
  pthread_testcancel();
  if (milliseconds == 0) return SystemTakeEventIfSignalled(handle);
  std::shared_ptr<EventObject> event = Lookup(handle);
  if (!event) return EventWait::kFailed;
  const timespec deadline = DeadlineAfter(milliseconds == kWaitForever ? 0 : milliseconds);
  MutexHold hold(event->mutex);
  while (!event->signalled) {
    if (milliseconds == kWaitForever) {
      pthread_cond_wait(&event->signalled_cond, &event->mutex);
    } else if (pthread_cond_timedwait(&event->signalled_cond, &event->mutex, &deadline) != 0 &&
               !event->signalled) {
      return EventWait::kTimedOut;
    }
  }
  event->signalled = false;  // auto-reset: this waiter takes it
  return EventWait::kTaken;
}

void CloseEvent(EventHandle handle) {
  std::shared_ptr<EventObject> last;  // freed outside the lock
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto found = registry.by_handle.find(reinterpret_cast<uintptr_t>(handle));
  if (found == registry.by_handle.end()) return;
  last = found->second;
  registry.by_handle.erase(found);
  if (--last->handles == 0 && !last->name.empty()) registry.by_name.erase(last->name);
}

int OpenEventHandleCount() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  return int(registry.by_handle.size());
}

}  // namespace platform
