// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// What the game is asked to do by its arguments and environment. No SDL here:
// --help and --version are answered before any display is opened.
namespace brz {

struct CommandLine {
  enum class Action { Play, Help, Version, Error };
  Action action = Action::Play;
  // The whole-number drawing scale, when given; else the display decides.
  std::optional<int> scale;
  // The file to record the session to, or to replay one from; empty if none.
  std::string recordPath;
  std::string replayPath;
  // Every window on one screen in a single desktop window.
  bool singleWindow = false;
  // For Action::Error: what was wrong, one line, without the program name.
  std::string error;
};

// The largest scale --scale takes; larger would not fit any screen.
inline constexpr int kMaxCommandLineScale = 16;

// Reads the arguments after the program name. `scaleVariable` is the value
// of BRIZZLET_SCALE, or null when it is not set; an option given on the
// command line wins over it.
CommandLine parseCommandLine(std::span<const std::string_view> arguments,
                             const char* scaleVariable);

// The usage text printed by --help, and on stderr after an error.
std::string usage();

}  // namespace brz
