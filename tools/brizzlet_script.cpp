// SPDX-License-Identifier: GPL-3.0-or-later
// brizzlet-script [FILE]: runs a scenario script against the game on a
// virtual clock, headless. See docs/scripting.md.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "assets/layout_pictures.h"
#include "menu/start.h"
#include "platform/sdl/sdl_pictures.h"
#include "tools/script_runner.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
    std::cout << (args[0] == "--version" ? "brizzlet-script " BRIZZLET_VERSION "\n"
                                         : "usage: brizzlet-script [FILE]\n"
                                           "Runs the scenario script in FILE, or on standard "
                                           "input, against the game.\n");
    return 0;
  }

  std::error_code error;
  std::filesystem::path startDirectory = std::filesystem::current_path(error);
  if (error) {
    std::cerr << "brizzlet-script: cannot read the current directory: " << error.message() << '\n';
    return brz::kScriptError;
  }

  // Headless but for the pictures, which are really decoded, and the
  // directory it runs in. Message boxes are answered OK at once.
  struct ScriptHost : brz::HeadlessHost {
    brz::SdlPictureDecoder decoder;
    std::string directory;
    brz::PictureDecoder* pictures() override { return &decoder; }
    std::span<const unsigned char> layoutPicture(std::string_view name) override {
      return brz::assets::layoutPicture(name);
    }
    std::string startDirectory() override { return directory; }
  } host;
  host.directory = startDirectory.string();

  brz::ScriptRunner runner(brz::startBrizzlet, host);
  int status = brz::runScriptCommand(args, runner, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
