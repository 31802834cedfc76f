#include "commands/live_keys.h"

#include <SDL_keyboard.h>

namespace vevirur {

LiveCommand CommandForKey(int32_t key, uint16_t modifiers) {
  const bool alt = (modifiers & KMOD_ALT) != 0;
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return alt ? LiveCommand::kToggleFullScreen : LiveCommand::kChangeDrawing;
    case SDLK_ESCAPE:
      return LiveCommand::kLeaveFullScreen;
    case SDLK_SPACE:
      return LiveCommand::kToggleTitle;
    case SDLK_h:
    case SDLK_a:
    case SDLK_F1:
      return LiveCommand::kToggleHelp;
    case SDLK_F4:
      return LiveCommand::kToggleLock;
    case SDLK_F5:
    case SDLK_F6:
      return LiveCommand::kChangeDrawing;
    case SDLK_LEFT:
    case SDLK_RIGHT:
    case SDLK_PAGEUP:
    case SDLK_PAGEDOWN:
      return alt ? LiveCommand::kChangeDrawing : LiveCommand::kNone;
    case SDLK_q:
      return LiveCommand::kQuit;
    default:
      return LiveCommand::kNone;
  }
}

}  // namespace vevirur
