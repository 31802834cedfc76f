#pragma once
// What the full-screen and options-dialog programs share: checks that print, and waiting with a
// generous limit (the test machine is loaded) while the calling thread's messages run.
#include <windows.h>

#include <cstdio>
#include <string>

namespace win_check {

inline int failures = 0;

inline void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

// Polls `done` every 20 ms for up to `limitMs`, running the calling thread's messages.
template <typename Done>
bool WaitFor(Done done, DWORD limitMs = 20000) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(20)) {
    if (GetTickCount() - start > limitMs) return false;
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
  }
  return true;
}

inline int Finish() {
  std::printf("%s\n", failures ? "FAILED" : "PASSED");
  return failures ? 1 : 0;
}

}  // namespace win_check
