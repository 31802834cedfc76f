#include "commands/live_keys.h"

#include <SDL_keyboard.h>

#include <algorithm>

namespace vevirur {
namespace {

// Windows' virtual key of an SDL key, 0 for keys the window's table never names.
uintptr_t VirtualKey(int32_t key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_SPACE:
      return 32;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_LEFT:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_HELP:
      return 47;
    default:
      return 0;
  }
}

}  // namespace

WindowKey WindowKeyFor(int32_t key, uint16_t modifiers, int scancode) {
  const uintptr_t virtualKey = VirtualKey(key);
  if (virtualKey == 0) return {};
  // A pressed key: repeat count 1 and its scan code, so never the made-up lParam 1.
  const intptr_t lParam = 1 | intptr_t(std::clamp(scancode, 1, 0xFF)) << 16;
  if (!(modifiers & KMOD_ALT)) return {kKeyDownMessage, virtualKey, lParam};
  if (virtualKey == 13) return {kSysCommandMessage, kSysCommandKeyMenu, 13};
  return {kSysKeyDownMessage, virtualKey, lParam | 0x20000000};
}

WindowCommand CommandForKey(int32_t key, uint16_t modifiers, int scancode) {
  const WindowKey windowKey = WindowKeyFor(key, modifiers, scancode);
  if (windowKey.message == 0) return WindowCommand::kDefault;
  return CommandForKeyMessage(windowKey.message, windowKey.wParam, windowKey.lParam);
}

}  // namespace vevirur
