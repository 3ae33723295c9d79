#pragma once

#include <functional>
#include <span>
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
  // The whole-number drawing scale asked for; 0 lets the display's density
  // choose it.
  int scale = 0;
};

// Runs the game until it ends; returns the process exit status (0 after End,
// non-zero after a fatal run-time error or when there is no display).
int run(const Game& game);

}  // namespace brz::sdl
