// SPDX-License-Identifier: GPL-3.0-or-later
// The game's arguments: what plays, what answers at once, and what is refused
// with a reason.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace brz {
namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<std::string_view> arguments, const char* variable = nullptr) {
  return parseCommandLine(arguments, variable);
}

TEST(CommandLine, ScaleFromOptionOrVariableTheOptionWinningBadOnesRefused) {
  EXPECT_EQ(parse({}).action, Action::Play);
  EXPECT_FALSE(parse({}).scale);
  EXPECT_EQ(parse({"--scale", "16"}).scale, 16);
  EXPECT_EQ(parse({"--scale=3"}).scale, 3);
  EXPECT_EQ(parse({"--scale", "1"}, "4").scale, 1);
  EXPECT_EQ(parse({}, "4").scale, 4);
  // A variable set to nothing is as if unset.
  EXPECT_FALSE(parse({}, "").scale);
  // A good option does not rescue a bad variable: both are the user's input.
  EXPECT_EQ(parse({"--scale", "2"}, "big").action, Action::Error);
  // Bad scales are refused with their text.
  for (const char* bad : {"0", "17", "-1", "+2", "1.5", "2x", " 2", "", "99999999999"}) {
    CommandLine line = parse({"--scale", bad});
    EXPECT_EQ(line.action, Action::Error) << bad;
    EXPECT_NE(line.error.find("'" + std::string(bad) + "'"), std::string::npos) << line.error;
    EXPECT_EQ(parse({}, bad).action, bad[0] ? Action::Error : Action::Play) << bad;
  }
  CommandLine missing = parse({"--scale"});
  EXPECT_EQ(missing.action, Action::Error);
  EXPECT_NE(missing.error.find("needs a value"), std::string::npos);
  EXPECT_NE(parse({}, "0").error.find("BRIZZLET_SCALE"), std::string::npos);
}

TEST(CommandLine, HelpAndVersionAnswerAtOnceUnknownOptionsAreErrors) {
  EXPECT_EQ(parse({"--help"}).action, Action::Help);
  EXPECT_EQ(parse({"-h"}).action, Action::Help);
  EXPECT_EQ(parse({"--version"}).action, Action::Version);
  // Whatever follows is not looked at; what comes before is.
  EXPECT_EQ(parse({"--version", "--bogus"}).action, Action::Version);
  EXPECT_EQ(parse({"--bogus", "--help"}).action, Action::Error);
  EXPECT_EQ(parse({"--help=yes"}).action, Action::Error);

  for (std::string_view bad : {"--bogus", "-x", "game.txt", "--", "--scal", "--scalex=2"}) {
    CommandLine line = parse({bad});
    EXPECT_EQ(line.action, Action::Error) << bad;
    EXPECT_NE(line.error.find(std::string(bad)), std::string::npos) << line.error;
  }
  // A session is recorded or replayed, not both; a file must be named.
  EXPECT_EQ(parse({"--record=a.script", "--scale", "2"}).recordPath, "a.script");
  EXPECT_EQ(parse({"--replay", "a.script"}).replayPath, "a.script");
  EXPECT_TRUE(parse({"--single-window", "--replay", "a"}).singleWindow);
  EXPECT_EQ(parse({"--single-window=1"}).action, Action::Error);
  for (std::vector<std::string_view> bad : std::vector<std::vector<std::string_view>>{
           {"--record", "a", "--replay", "b"}, {"--replay=a", "--record=b"}, {"--record="}})
    EXPECT_EQ(parse(bad).action, Action::Error) << bad[0];
}

}  // namespace
}  // namespace brz
