// SPDX-License-Identifier: GPL-3.0-or-later
// brizzlet-script with the run-time pictures replaced by a decoder that
// does nothing: the floor under the busy virtual hour, what the scenario
// runner and the game's handlers cost without reading and decoding pictures.
//   bench_script_floor FILE
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "menu/start.h"
#include "platform/script/script_runner.h"
#include "tools/game_host.h"

namespace {

// Every picture is the same blank pixel, named after its file, so that what
// the scripts trace stays the same.
class NoPictures : public brz::PictureDecoder {
 public:
  brz::PictureRef decodeFile(const std::string& path) override {
    auto picture = std::make_shared<brz::Picture>();
    picture->source = path;
    picture->fromFile = true;
    picture->width = picture->height = 1;
    picture->argb = {0};
    return picture;
  }
  brz::PictureRef decodeMemory(std::span<const unsigned char>, const std::string& source) override {
    auto picture = std::make_shared<brz::Picture>();
    picture->source = source;
    picture->width = picture->height = 1;
    picture->argb = {0};
    return picture;
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string startDirectory = std::filesystem::current_path().string();
  NoPictures decoder;
  brz::GameHost host(startDirectory, &decoder);
  brz::ScriptRunner runner(brz::startBrizzlet, host);
  return brz::runScriptCommand(args, runner, std::cin, std::cout, std::cerr);
}
