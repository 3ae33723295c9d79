// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktops share: a window of its own for each of the game's, and
// SDL's own waiting.
#include <SDL.h>

#include "platform/sdl/density.h"
#include "platform/sdl/display.h"
#include "platform/sdl/look.h"

namespace brz::sdl {

bool oneWindowOnly() {
  return false;
}

bool showsWindowIcons() {
  return true;
}

bool displayBounds(SDL_Rect& bounds) {
  return SDL_GetDisplayBounds(0, &bounds) == 0;
}

bool windowRoom(SDL_Rect& room) {
  return SDL_GetDisplayUsableBounds(0, &room) == 0;
}

int displayScale() {
  return scaleFactorFor(displayDpi());
}

bool showsRgba() {
  return false;
}

void showRgba(SDL_Window*, const void*, int, const SDL_Rect&) {}

bool soundMayBegin() {
  return true;
}

bool waitEvent(SDL_Event& event, int ms) {
  return SDL_WaitEventTimeout(&event, ms) == 1;
}

int leave(int status) {
  return status;
}

}  // namespace brz::sdl
