#pragma once
// How the window layer and the full-screen output reach operations that live above them.
// The host includes both layers and the full-screen output includes the window layer's
// overlays and commands; the calls that would run the other way (the window's paint message
// rendering a frame, the menu opening the options, a key switching to full screen) go through
// this table, which Init fills. An empty entry makes the call do nothing.
#include <windows.h>

#include "bridge/player_protocol.h"

struct PluginHooks {
  // RenderFrame of the host: shows the next frame or the about screen on `dc` (or, with no
  // dc, on the full-screen display). fromPaint 1 for the window's paint message.
  int (*RenderFrame)(winampVisModule* module, HDC dc, int fromPaint) = nullptr;
  // The host's Config entry: opens the options dialog or brings it to the top.
  void (*Config)(winampVisModule* module) = nullptr;
  // Enters (1) or leaves (0) the full-screen display.
  void (*SwitchFullScreen)(int enter) = nullptr;
  // The full-screen back buffer's device context, or null when there is none; every context
  // handed out goes back through ReleaseBackBufferDCAndFlip, which also shows the buffer.
  HDC (*GetBackBufferDC)() = nullptr;
  void (*ReleaseBackBufferDCAndFlip)(HDC dc) = nullptr;
};

extern PluginHooks Hooks;

// Empties every entry (Quit, and tests).
void ResetPluginHooks();
