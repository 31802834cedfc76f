#pragma once
// Counts what a start/stop cycle could leave behind: kernel threads and file descriptors of this
// process, and our own open event and thread handles.
#include <chrono>
#include <filesystem>
#include <iterator>
#include <thread>

#include "platform/event.h"
#include "platform/thread.h"

inline int CountDirectoryEntries(const char* path) {
  // Some runtimes (the thread sanitizer's) start a helper thread with the first thread made.
  [[maybe_unused]] static const bool warmed_up = [] {
    std::thread([] {}).join();
    return true;
  }();
  std::error_code error;
  const std::filesystem::directory_iterator entries(path, error);
  return int(std::distance(begin(entries), end(entries)));
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
