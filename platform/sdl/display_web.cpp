// SPDX-License-Identifier: GPL-3.0-or-later
// A browser: the page's one canvas is the whole display, and the game runs
// on the page's own thread, which it gives back to the browser whenever it
// waits (the build's ASYNCIFY turns each wait into a return to the browser
// and a resumption where it left off).
#include <SDL.h>
#include <emscripten.h>

#include <cstdio>

#include "platform/sdl/display.h"

namespace brz::sdl {

namespace {

// Sleeps until the time is up or Module.brizzletWake is called, whichever
// comes first; the browser runs everything else meanwhile.
EM_ASYNC_JS(void, sleepUntilWoken, (int ms), {
  await new Promise(function(resolve) {
    var timer = ms >= 0 ? setTimeout(woken, ms) : null;
    function woken() {
      clearTimeout(timer);
      Module.brizzletWake = null;
      resolve();
    }
    Module.brizzletWake = woken;
  });
});

// SDL's event handlers put the page's input into SDL's queue while the game
// sleeps; each wakes it. (SDL's own wait would wake every few milliseconds
// to look.)
int SDLCALL wakeOnEvent(void*, SDL_Event*) {
  EM_ASM({
    if (Module.brizzletWake) Module.brizzletWake();
  });
  return 0;
}

}  // namespace

bool startVideo() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "brizzlet: cannot draw in the page: %s\n", SDL_GetError());
    return false;
  }
  SDL_AddEventWatch(wakeOnEvent, nullptr);
  return true;
}

bool oneWindowOnly() {
  return true;
}

bool waitEvent(SDL_Event& event, int ms) {
  if (SDL_PollEvent(&event) == 1) return true;
  sleepUntilWoken(ms);
  return SDL_PollEvent(&event) == 1;
}

// The page hears of the end (Module.onExit) only once nothing keeps the
// program alive, and after the player's clicks something registered with
// the browser still does: the end is forced.
int leave(int status) {
  emscripten_force_exit(status);
  return status;
}

}  // namespace brz::sdl
