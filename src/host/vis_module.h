#pragma once
// The player's visualization records, laid out exactly as the player reads them.
// Shared by the plug-in and the player stand-in of the Wine tests.
#include <windows.h>

#include <cstddef>

extern "C" {

struct winampVisModule {
  char* description;
  HWND hwndParent;
  HINSTANCE hDllInstance;
  int sRate;
  int nCh;
  int latencyMs;
  int delayMs;
  int spectrumNch;
  int waveformNch;
  unsigned char spectrumData[2][576];
  char waveformData[2][576];
  void (*Config)(winampVisModule* module);
  int (*Init)(winampVisModule* module);
  int (*Render)(winampVisModule* module);
  void (*Quit)(winampVisModule* module);
  void* userData;
};

struct winampVisHeader {
  int version;
  char* description;
  winampVisModule* (*getModule)(int index);
};

typedef winampVisHeader* (*winampVisGetHeaderType)();

}  // extern "C"

constexpr int kVisHeaderVersion = 0x101;

// The player reads these records at fixed offsets; a change of layout breaks every player.
#if defined(_WIN64)
static_assert(offsetof(winampVisModule, spectrumData) == 48);
static_assert(offsetof(winampVisModule, waveformData) == 1200);
static_assert(offsetof(winampVisModule, Config) == 2352);
static_assert(offsetof(winampVisModule, userData) == 2384);
static_assert(sizeof(winampVisModule) == 2392);
static_assert(sizeof(winampVisHeader) == 24);
#else
static_assert(offsetof(winampVisModule, spectrumData) == 36);
static_assert(offsetof(winampVisModule, waveformData) == 1188);
static_assert(offsetof(winampVisModule, Config) == 2340);
static_assert(offsetof(winampVisModule, userData) == 2356);
static_assert(sizeof(winampVisModule) == 2360);
static_assert(sizeof(winampVisHeader) == 12);
#endif
