// SPDX-License-Identifier: GPL-3.0-or-later
// brizzlet-script [FILE]: runs a scenario script against the game on a
// virtual clock, headless. See docs/scripting.md.
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "menu/start.h"
#include "platform/script/script_runner.h"
#include "platform/system.h"
#include "tools/game_host.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args = brz::commandLineArguments(argc, argv);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
    std::cout << (args[0] == "--version" ? "brizzlet-script " BRIZZLET_VERSION "\n"
                                         : "usage: brizzlet-script [FILE]\n"
                                           "Runs the scenario script in FILE, or on standard "
                                           "input, against the game.\n");
    return 0;
  }

  std::error_code error;
  std::string startDirectory = brz::currentDirectory(error);
  if (error) {
    std::cerr << "brizzlet-script: cannot read the current directory: " << error.message() << '\n';
    return brz::kScriptError;
  }

  brz::GameHost host(startDirectory);
  brz::ScriptRunner runner(brz::startBrizzlet, host);
  int status = brz::runScriptCommand(args, runner, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
