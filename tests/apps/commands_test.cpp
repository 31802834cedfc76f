// The command line's options, help and one-line mistakes; the live window's
// keys.
#include <SDL_keyboard.h>
#include <gtest/gtest.h>

#include <tuple>

#include "app_error.h"
#include "commands/command_line.h"
#include "commands/live_keys.h"

namespace vevirur {
namespace {

std::string ErrorOf(const std::vector<std::string>& args) {
  try {
    ParseCommandLine(args);
  } catch (const AppError& error) {
    return error.what();
  }
  return "";
}

TEST(CommandLine, HelpTopicsAndMistakes) {
  EXPECT_EQ(ParseCommandLine({"render", "a", "-o", "x/", "-h"}).help_for, CommandKind::kRender);
  EXPECT_TRUE(IsFrameFolder("frames/") && !IsFrameFolder("out.mp4"));
  EXPECT_EQ(ErrorOf({"render", "a.wav", "-o"}), "-o needs a value");
  EXPECT_EQ(ErrorOf({"render", "a.wav", "b.wav", "-o", "x/"}), "unexpected argument 'b.wav'");
  EXPECT_EQ(ErrorOf({"live", "--size", "10x10"}), "unknown option '--size' for live");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--size", "1280"}),
            "--size wants WIDTHxHEIGHT, e.g. 1280x720, not '1280'");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--size", "1281x720"}),
            "--size 1281x720: width and height must be even and between 64 and 8192");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--size", "99998x720"}),
            "--size 99998x720: width and height must be even and between 64 "
            "and 8192");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--seconds", "nan"}),
            "--seconds wants a positive number of seconds, not 'nan'");
}

// SDL's keys reach the plug-in's key table as the window would receive them.
TEST(LiveKeys, SdlKeysTakeThePlugInsCommands) {
  using C = WindowCommand;
  const std::tuple<int32_t, uint16_t, C> cases[] = {
      {SDLK_F6, 0, C::kChangeDrawing},         {SDLK_F4, 0, C::kToggleEffectLock},
      {SDLK_SPACE, 0, C::kToggleTitle},        {SDLK_h, 0, C::kToggleHelp},
      {SDLK_HELP, 0, C::kToggleHelp},          {SDLK_KP_ENTER, KMOD_RALT, C::kGoFullScreen},
      {SDLK_ESCAPE, 0, C::kLeaveFullScreen},   {SDLK_PAGEUP, KMOD_LALT, C::kPreviousEffect},
      {SDLK_RIGHT, KMOD_LALT, C::kNextEffect}, {SDLK_s, 0, C::kConsumed},
      {SDLK_LEFT, 0, C::kPassToPlayer},        {SDLK_q, KMOD_LALT, C::kDefault},
      {SDLK_LSHIFT, 0, C::kDefault},
  };
  for (const auto& [key, modifiers, command] : cases)
    EXPECT_EQ(CommandForKey(key, modifiers, 0), command) << key << " " << modifiers;
  EXPECT_EQ(WindowKeyFor(SDLK_q, 0, 20).wParam, uintptr_t('Q'));
  EXPECT_EQ(WindowKeyFor(SDLK_q, 0, 20).lParam, 0x140001);
  // A pressed key's scan code, never the made-up 1.
  EXPECT_EQ(WindowKeyFor(SDLK_RETURN, 0, 0).lParam, 0x10001);
}

}  // namespace
}  // namespace vevirur
