#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/runtime.h"

// The desktop front end: real windows, mouse, keyboard, clock and sound for a
// runtime. It only draws the runtime's state and feeds it input.
namespace brz::sdl {

struct Game {
  // The pictures stored with the layouts, by name.
  std::function<std::span<const unsigned char>(std::string_view)> layoutPictures;
  // Creates and shows the start-up window.
  std::function<void(Runtime&)> start;
  // When set, the session is recorded to this file as a scenario.
  std::string recordPath;
};

// Runs the game until it ends; returns the process exit status (0 after End,
// non-zero after a fatal run-time error or when there is no display).
int run(const Game& game);

}  // namespace brz::sdl
