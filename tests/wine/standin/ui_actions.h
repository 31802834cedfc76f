#pragma once
// The "ui=..." actions of the render phase: messages sent to the plug-in's visualization
// window, its popup menu read and answered, its pixels counted, its settings file watched.
#include <windows.h>

#include <string>

#include "bridge/player_protocol.h"

namespace standin {

// ARGUMENT is one of
//   send:MSG,WPARAM,LPARAM   SendMessageA to the visualization window; the result logged, with
//                            the instrumented DLL's counters (and the cursor after a mouse move)
//   menu:dismiss             a right click; the menu's items are logged, then Esc
//   menu:choose=ID           a right click; the items are logged, then the entry ID is chosen
//   pixels                   two more Render calls (so that what was asked for is shown, even
//                            when the run lags behind its schedule), then counts the overlay
//                            colours in the window's regions
//   settings:clear           deletes the settings file beside the plug-in `dll`
//   settings:check           logs whether it exists
void RunUiAction(const std::string& argument, winampVisModule* module);

}  // namespace standin
