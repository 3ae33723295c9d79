// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktops share: a window of its own for each of the game's, and
// SDL's own waiting.
#include <SDL.h>

#include "platform/sdl/display.h"

namespace brz::sdl {

bool oneWindowOnly() {
  return false;
}

bool waitEvent(SDL_Event& event, int ms) {
  return SDL_WaitEventTimeout(&event, ms) == 1;
}

int leave(int status) {
  return status;
}

}  // namespace brz::sdl
