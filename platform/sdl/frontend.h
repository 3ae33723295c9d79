// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/runtime.h"
#include "platform/sdl/look.h"

union SDL_Event;

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
  // When set, the session is recorded to this file as a scenario.
  std::string recordPath;
  // When set, this recording is played in place of the player.
  std::string replayPath;
  // The whole screen in one desktop window (SingleScreen), in place of a
  // desktop window for each of the game's.
  bool singleWindow = false;
};

// Runs the game until it ends; returns the process exit status (0 after End,
// non-zero after a fatal run-time error or when there is no display).
int run(const Game& game);

// Hands an SDL mouse-button press to the runtime as the event loop does: the
// pointer's place at the screen's scale, the button, and the runtime's time,
// which the loop has brought to the event's own time stamp: a recording that
// replays the press at that time decides a double click the same way.
bool press(Runtime& runtime, Window& window, const Scale& scale, const SDL_Event& event);

}  // namespace brz::sdl
