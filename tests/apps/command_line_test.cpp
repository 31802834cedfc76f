#include "commands/command_line.h"

#include <gtest/gtest.h>

#include "app_error.h"

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

TEST(CommandLine, RenderWithEveryOption) {
  CommandLine c = ParseCommandLine({"render", "in.flac", "-o", "out.mp4", "--size", "1920x1080",
                                    "--seconds", "2.5", "--title", "A B"});
  EXPECT_EQ(c.kind, CommandKind::kRender);
  EXPECT_EQ(c.input, "in.flac");
  EXPECT_EQ(c.output, "out.mp4");
  EXPECT_EQ(c.width, 1920);
  EXPECT_EQ(c.height, 1080);
  EXPECT_DOUBLE_EQ(*c.seconds, 2.5);
  EXPECT_EQ(c.title, "A B");
  EXPECT_FALSE(IsFrameFolder(c.output));
  EXPECT_TRUE(IsFrameFolder("frames/"));
}

TEST(CommandLine, DefaultsOfDemoAndLive) {
  CommandLine demo = ParseCommandLine({"demo"});
  EXPECT_EQ(demo.output, "out/");
  EXPECT_EQ(ParseCommandLine({"demo", "-o", "elsewhere"}).output, "elsewhere/");
  CommandLine live = ParseCommandLine({"live", "--source", "mic"});
  EXPECT_EQ(live.kind, CommandKind::kLive);
  EXPECT_EQ(live.source, "mic");
  EXPECT_EQ(ParseCommandLine({"render", "a.wav", "-o", "b/"}).width, 1280);
}

TEST(CommandLine, MistakesGiveOneLineReasons) {
  EXPECT_EQ(ErrorOf({}), "no command given; try 'vevirur help'");
  EXPECT_EQ(ErrorOf({"play"}), "unknown command 'play'; the commands are render, demo and live");
  EXPECT_EQ(ErrorOf({"render", "-o", "x.mp4"}), "render needs an input audio file");
  EXPECT_EQ(ErrorOf({"render", "a.wav"}), "render needs -o OUTPUT.mp4 or -o DIR/");
  EXPECT_EQ(ErrorOf({"render", "a.wav", "-o"}), "-o needs a value");
  EXPECT_EQ(ErrorOf({"render", "a.wav", "b.wav", "-o", "x/"}), "unexpected argument 'b.wav'");
  EXPECT_EQ(ErrorOf({"live", "--size", "10x10"}), "unknown option '--size' for live");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--size", "1280"}),
            "--size wants WIDTHxHEIGHT, e.g. 1280x720, not '1280'");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--size", "1281x720"}),
            "--size 1281x720: width and height must be even and between 64 and 8192");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--size", "123456x720"}),
            "--size wants WIDTHxHEIGHT, e.g. 1280x720, not '123456x720'");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--size", "99998x720"}),
            "--size 99998x720: width and height must be even and between 64 and 8192");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--seconds", "-1"}),
            "--seconds wants a positive number of seconds, not '-1'");
  EXPECT_EQ(ErrorOf({"render", "a", "-o", "x/", "--seconds", "nan"}),
            "--seconds wants a positive number of seconds, not 'nan'");
}

}  // namespace
}  // namespace vevirur
