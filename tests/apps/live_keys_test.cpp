#include "commands/live_keys.h"

#include <SDL_keyboard.h>
#include <gtest/gtest.h>

namespace vevirur {
namespace {

TEST(LiveKeys, ThePlugInsKeys) {
  EXPECT_EQ(CommandForKey(SDLK_F6, 0), LiveCommand::kChangeDrawing);
  EXPECT_EQ(CommandForKey(SDLK_F5, 0), LiveCommand::kChangeDrawing);
  EXPECT_EQ(CommandForKey(SDLK_RETURN, 0), LiveCommand::kChangeDrawing);
  EXPECT_EQ(CommandForKey(SDLK_F4, 0), LiveCommand::kToggleLock);
  EXPECT_EQ(CommandForKey(SDLK_SPACE, 0), LiveCommand::kToggleTitle);
  for (int32_t key : {SDLK_h, SDLK_a, SDLK_F1})
    EXPECT_EQ(CommandForKey(key, 0), LiveCommand::kToggleHelp);
  EXPECT_EQ(CommandForKey(SDLK_RETURN, KMOD_LALT), LiveCommand::kToggleFullScreen);
  EXPECT_EQ(CommandForKey(SDLK_KP_ENTER, KMOD_RALT), LiveCommand::kToggleFullScreen);
  EXPECT_EQ(CommandForKey(SDLK_ESCAPE, 0), LiveCommand::kLeaveFullScreen);
  EXPECT_EQ(CommandForKey(SDLK_q, 0), LiveCommand::kQuit);
}

TEST(LiveKeys, ArrowsActOnlyWithAlt) {
  for (int32_t key : {SDLK_LEFT, SDLK_RIGHT, SDLK_PAGEUP, SDLK_PAGEDOWN}) {
    EXPECT_EQ(CommandForKey(key, 0), LiveCommand::kNone);
    EXPECT_EQ(CommandForKey(key, KMOD_LALT), LiveCommand::kChangeDrawing);
  }
  // S and L ("Save effect", "Load effect" on the help page) do nothing, as in the plug-in.
  EXPECT_EQ(CommandForKey(SDLK_s, 0), LiveCommand::kNone);
  EXPECT_EQ(CommandForKey(SDLK_l, 0), LiveCommand::kNone);
  EXPECT_EQ(CommandForKey(SDLK_z, 0), LiveCommand::kNone);
}

}  // namespace
}  // namespace vevirur
