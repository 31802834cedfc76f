#pragma once
// The player's side of the interface, written once: its visualization records laid out exactly
// as the player reads them, the requests it answers, the notices it sends and its command ids.
// Shared by the plug-in, the player stand-in of the Wine tests and the tests.
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

// The record handed to the player's embed-window function, fields in the player's order.
struct HostFrameRecord {
  HWND frame;  // written by the player
  int flags;
  RECT rect;  // where the player is to place the frame
  void* user;
  int reserved[64];
};

// The player's embed-window function (the answer to kIpcGetEmbedFunction): makes the frame
// window, stores its handle in the record's first field and returns it.
typedef HWND(__cdecl* EmbedWindowFunction)(HostFrameRecord* record);

// Requests: SendMessageA(host main window, WM_USER, wParam, lParam = the IPC number).
enum PlayerIpc : int {
  kIpcGetVersion = 0,             // answer: the player's version; 0x2900 or more is required
  kIpcIsPlaying = 104,            // answer: 1 while playing
  kIpcGetPlaylistPosition = 125,  // answer: the current playlist position
  kIpcGetPlaylistTitle = 212,     // wParam: position; answer: address of its title, or null
  kIpcGetWindow = 260,            // wParam 1: answer: the window whose notices the plug-in hears
  kIpcIsPlayingVideo = 501,       // answer: more than 1 while a video plays
  kIpcGetEmbedFunction = 505,     // answer: the embed-window function; 0 or 1 = none
  kIpcSetVisWindow = 611,         // wParam: the visualization window, or 0 to unregister
  kIpcVisCommand = 628,           // wParam 1: sent on the player's command 40384
  kIpcFullScreenNotice = 631,     // wParam 1 / 0: entering / leaving full screen
};

inline constexpr int kRequiredPlayerVersion = 0x2900;
inline constexpr WPARAM kWatchedWindowSelector = 1;  // wParam of kIpcGetWindow

// Notices arriving at the watched player window.
inline constexpr UINT kTrackNoticeMessage = 666;  // like WM_USER: lParam may carry a new position
inline constexpr WPARAM kPlayStateNoticeWParam = 100;  // WM_USER with this wParam: play state changed
inline constexpr LPARAM kNewTrackBit = 0x40000000;     // lParam bit: the low 28 bits are a position
inline constexpr LPARAM kTrackPositionMask = 0x0FFFFFFF;

// The player's commands, sent to the visualization window as WM_COMMAND (low 16 bits of wParam).
enum PlayerCommand : int {
  kCommandNextEffect = 40382,
  kCommandPreviousEffect = 40383,
  kCommandRandomEffect = 40384,
  kCommandFullScreen = 40389,
  kCommandIgnored = 40390,
  kCommandPopupMenu = 40391,
};

// Sends one request to the player's main window and returns its answer.
inline LRESULT AskPlayer(HWND hostMainWindow, int ipc, WPARAM wParam = 0) {
  return SendMessageA(hostMainWindow, WM_USER, wParam, ipc);
}
