#include "commands/live_keys.h"

#include <SDL_keyboard.h>
#include <gtest/gtest.h>

namespace vevirur {
namespace {

// SDL's keys reach the plug-in's key table as the window would receive them.
TEST(LiveKeys, SdlKeysTakeThePlugInsCommands) {
  using C = WindowCommand;
  struct Case {
    int32_t key;
    uint16_t modifiers;
    C want;
  } cases[] = {
      {SDLK_RETURN, 0, C::kChangeDrawing},
      {SDLK_KP_ENTER, 0, C::kChangeDrawing},
      {SDLK_F5, 0, C::kChangeDrawing},
      {SDLK_F6, 0, C::kChangeDrawing},
      {SDLK_F4, 0, C::kToggleEffectLock},
      {SDLK_SPACE, 0, C::kToggleTitle},
      {SDLK_h, 0, C::kToggleHelp},
      {SDLK_a, 0, C::kToggleHelp},
      {SDLK_F1, 0, C::kToggleHelp},
      {SDLK_HELP, 0, C::kToggleHelp},
      {SDLK_RETURN, KMOD_LALT, C::kGoFullScreen},
      {SDLK_KP_ENTER, KMOD_RALT, C::kGoFullScreen},
      {SDLK_ESCAPE, 0, C::kLeaveFullScreen},
      {SDLK_LEFT, KMOD_LALT, C::kPreviousEffect},
      {SDLK_PAGEUP, KMOD_LALT, C::kPreviousEffect},
      {SDLK_RIGHT, KMOD_LALT, C::kNextEffect},
      {SDLK_PAGEDOWN, KMOD_RALT, C::kNextEffect},
      {SDLK_s, 0, C::kConsumed},
      {SDLK_l, 0, C::kConsumed},
      {SDLK_F2, 0, C::kConsumed},
      {SDLK_LEFT, 0, C::kPassToPlayer},
      {SDLK_q, 0, C::kPassToPlayer},
      {SDLK_z, 0, C::kPassToPlayer},
      {SDLK_q, KMOD_LALT, C::kDefault},
      {SDLK_LSHIFT, 0, C::kDefault},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CommandForKey(c.key, c.modifiers, 0), c.want) << c.key << " " << c.modifiers;
}

TEST(LiveKeys, APressedKeyCarriesItsScanCode) {
  EXPECT_EQ(WindowKeyFor(SDLK_q, 0, 20).wParam, uintptr_t('Q'));
  EXPECT_EQ(WindowKeyFor(SDLK_q, 0, 20).lParam, 0x140001);
  EXPECT_EQ(WindowKeyFor(SDLK_RETURN, 0, 0).lParam, 0x10001);  // never the made-up 1
  EXPECT_EQ(WindowKeyFor(SDLK_LSHIFT, 0, 225).message, 0u);
}

}  // namespace
}  // namespace vevirur
