// A one-window program for checking the scenario harness itself: it shows its
// start directory, reads a file from it and ends, all on the scenario runner's
// command line.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "tools/script_runner.h"

namespace {

using K = brz::ControlKind;

constexpr brz::ControlLayout kProbeControls[] = {
    {.kind = K::DirListBox, .name = "Dir1", .width = 2000, .height = 1000},
    {.kind = K::Image, .name = "Pic", .top = 1000, .width = 1000, .height = 1000},
    {.kind = K::CommandButton, .name = "Load", .top = 2000, .width = 1000, .height = 400},
    {.kind = K::CommandButton, .name = "Quit", .top = 2500, .width = 1000, .height = 400},
};

class ProbeWindow : public brz::Window {
 public:
  explicit ProbeWindow(brz::Runtime& rt)
      : Window(rt, {.name = "Probe", .caption = "Probe", .clientWidth = 3000, .clientHeight = 3000},
               kProbeControls) {
    control<brz::CommandButton>("Load").click = [this] {
      auto path = brz::filePath(runtime().startDirectory(), "\\probe.pic");
      control<brz::Image>("Pic").setPicture(runtime().loadPicture(path));
    };
    control<brz::CommandButton>("Quit").click = [this] { runtime().end(); };
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string directory = std::filesystem::current_path().string();
  brz::ScriptRunner runner([&](brz::Runtime& rt) {
    rt.setStartDirectory(directory);
    rt.start<ProbeWindow>();
  });
  return brz::runScriptCommand(args, runner, std::cin, std::cout, std::cerr);
}
