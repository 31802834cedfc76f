#pragma once
// The plug-in's keyboard commands, as the live window understands SDL's keys.
#include <cstdint>

namespace vevirur {

enum class LiveCommand {
  kNone,
  kChangeDrawing,     // F5, F6, Enter; Alt+Left/Right/Page Up/Page Down (previous, next effect)
  kToggleLock,        // F4
  kToggleTitle,       // Space
  kToggleHelp,        // H, A, F1
  kToggleFullScreen,  // Alt+Enter
  kLeaveFullScreen,   // Esc
  kQuit,              // Q (the window's close button does the same)
};

// `key` is an SDL_Keycode, `modifiers` SDL's KMOD_* bits.
LiveCommand CommandForKey(int32_t key, uint16_t modifiers);

}  // namespace vevirur
