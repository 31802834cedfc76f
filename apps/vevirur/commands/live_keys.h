#pragma once
// The live window's keys as the plug-in's window receives them, so that both take their
// commands from the one key table (ui/window_commands.h) and differ only in how keys arrive.
#include <cstdint>

#include "ui/window_commands.h"

namespace vevirur {

// A key as a Windows window procedure would see it: the message, virtual key and lParam.
struct WindowKey {
  unsigned message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// `key` is an SDL_Keycode, `modifiers` SDL's KMOD_* bits, `scancode` the key's scan code. Alt
// with a key is a system key; Alt+Enter the menu key's system command with Enter. A key with no
// virtual key has message 0.
WindowKey WindowKeyFor(int32_t key, uint16_t modifiers, int scancode);

// The command of an SDL key press. Keys that the plug-in passes on to the player come back as
// kPassToPlayer: Q among them, the live window's own key to close.
WindowCommand CommandForKey(int32_t key, uint16_t modifiers, int scancode);

}  // namespace vevirur
