#pragma once
// Counts what a start/stop cycle could leave behind: kernel threads and file descriptors of this
// process, and our own open event and thread handles.
#include <dirent.h>

#include <chrono>
#include <thread>

#include "platform/event.h"
#include "platform/thread.h"

inline int CountDirectoryEntries(const char* path) {
  // Some runtimes (the thread sanitizer's) start a helper thread with the first thread made.
  static const bool warmed_up = [] {
    std::thread([] {}).join();
    return true;
  }();
  (void)warmed_up;
  int count = 0;
  if (DIR* dir = opendir(path)) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] != '.') ++count;
    }
    closedir(dir);
  }
  return count;
}

struct Census {
  int threads = CountDirectoryEntries("/proc/self/task");
  int descriptors = CountDirectoryEntries("/proc/self/fd");
  int events = platform::OpenEventHandleCount();
  int thread_handles = platform::OpenThreadHandleCount();

  bool operator==(const Census&) const = default;
};

// A released thread may need a moment of real time to be gone from /proc.
inline Census SettledCensus(const Census& expected) {
  Census now;
  for (int i = 0; i < 200 && !(now == expected); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    now = Census();
  }
  return now;
}
