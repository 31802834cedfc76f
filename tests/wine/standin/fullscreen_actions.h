#pragma once
// The "fs=..." actions of the render phase: the plug-in's visualization window asked to go full
// screen, keys and mouse messages sent to its full-screen window, and what the screen shows.
#include <string>

#include "bridge/player_protocol.h"

namespace standin {

// ARGUMENT is one of
//   vis:MSG,WPARAM,LPARAM   SendMessageA to the visualization window (double click, Alt+Enter,
//                           the player's command 40389); logs the full-screen state after it
//   key:MSG,WPARAM,LPARAM   SendMessageA to the full-screen window, the same
//   render                  one Render call now, with a hash of the visualization window's
//                           pixels (a leave asked for while playing happens at the next
//                           Render; this makes it happen before the next action)
//   state                   logs whether the full-screen window exists, its size and the
//                           screen's, and whether it is in front
//   shot=FILE.png           PNG of the whole screen
void RunFullScreenAction(const std::string& argument, winampVisModule* module);

}  // namespace standin
