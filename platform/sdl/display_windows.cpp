// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>

#include <cstdio>

#include "platform/sdl/display.h"

namespace brz::sdl {

bool startVideo() {
  // Aware of the system's DPI setting, SDL measures the screen at it and the
  // windows are drawn at the scale it asks for; unaware, Windows would
  // magnify the 96-dpi windows into a blur. The scale is chosen once, at
  // the start, for the whole system, so no more than that is asked for.
  SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "system");
  // A click on a window that is not the active one activates it and acts,
  // as Windows' own programs and the game elsewhere do: SDL would drop it.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The program has its own main(), not SDL's, which would only convert the
  // arguments to UTF-8: system.h does that.
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "brizzlet: cannot start the display: %s\n", SDL_GetError());
    return false;
  }
  return true;
}

}  // namespace brz::sdl
