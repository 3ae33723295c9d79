// SPDX-License-Identifier: GPL-3.0-or-later
// The game. It starts at the menu window and reads its music, sounds and
// magazine pictures from its game directory (platform/system.h): the one it
// is started in, or on Windows its own folder. The command line only says
// how to run it: help, version, the drawing scale, one window or several,
// and a session recorded or replayed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "assets/layout_pictures.h"
#include "menu/start.h"
#include "platform/properties.h"
#include "platform/sdl/frontend.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  brz::useStartingConsole();
  std::vector<std::string> words = brz::commandLineArguments(argc, argv);
  std::vector<std::string_view> arguments(words.begin(), words.end());
  brz::CommandLine line = brz::parseCommandLine(arguments, std::getenv("BRIZZLET_SCALE"));
  switch (line.action) {
    case brz::CommandLine::Action::Help:
      std::fputs(brz::usage().c_str(), stdout);
      return 0;
    case brz::CommandLine::Action::Version:
      std::puts("brizzlet " BRIZZLET_VERSION);
      return 0;
    case brz::CommandLine::Action::Error:
      std::fprintf(stderr, "brizzlet: %s\n%s", line.error.c_str(), brz::usage().c_str());
      return 2;
    case brz::CommandLine::Action::Play:
      break;
  }
  // A recording is a new file: given one that exists (a recording to be
  // played, or one of the game's own files), the player meant something else.
  std::error_code error;
  if (!line.recordPath.empty() && std::filesystem::exists(std::filesystem::symlink_status(
                                      brz::filePath(line.recordPath), error))) {
    std::string file = brz::shown(line.recordPath);
    std::fprintf(stderr,
                 "brizzlet: --record %s: the file exists; --record writes a new one, --replay %s "
                 "plays it\n",
                 file.c_str(), file.c_str());
    return 2;
  }
  return brz::sdl::run({.layoutPictures = brz::assets::layoutPicture,
                        .start = brz::startBrizzlet,
                        .scale = line.scale.value_or(0),
                        .recordPath = line.recordPath,
                        .replayPath = line.replayPath,
                        .singleWindow = line.singleWindow});
}
