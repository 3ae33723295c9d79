// SPDX-License-Identifier: GPL-3.0-or-later
// A browser: the page's one canvas is the whole display, and the game runs
// on the page's own thread, which it gives back to the browser whenever it
// waits (the build's ASYNCIFY turns each wait into a return to the browser
// and a resumption where it left off).
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/sdl/display.h"
#include "platform/sdl/look.h"

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

// The page's viewport in device pixels: the player's screen is the page, as
// crisp as the device shows it. (SDL's display is the device's whole screen,
// most of which the page does not have.)
EM_JS(int, viewportWidth, (),
      { return Math.floor(window.innerWidth * (window.devicePixelRatio || 1)); });
EM_JS(int, viewportHeight, (),
      { return Math.floor(window.innerHeight * (window.devicePixelRatio || 1)); });
// (Named apart from window.devicePixelRatio, which a function of that name
// would replace on the page.)
EM_JS(double, pixelRatio, (), { return window.devicePixelRatio || 1; });

// Whether the first frame is still to be shown (showRgba), or the music's
// rendering still on its way (index.html).
EM_JS(int, soundWaits, (), { return !Module.brizzletShown || Module.brizzletMusicPending; });

}  // namespace

bool startVideo() {
  // The game gives the page its turn in its own waits; SDL's extra ones
  // (after each frame, in SDL_Delay) would only slow it, and the build
  // prepares only the game's own code to be left and resumed (web/).
  SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
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

bool showsWindowIcons() {
  return false;
}

bool displayBounds(SDL_Rect& bounds) {
  bounds = {0, 0, viewportWidth(), viewportHeight()};
  return bounds.w > 0 && bounds.h > 0;
}

// The canvas takes the screen's size, whatever the page's: the page shows it
// whole-number times larger where there is room (index.html).
bool windowRoom(SDL_Rect&) {
  return false;
}

// Whole device pixels to a pixel of the game's, as on a desktop of that
// density: 2 on a 2x display, 1 on a 1.5x one (which has the larger screen).
int displayScale() {
  double ratio = pixelRatio();
  return std::clamp(std::isfinite(ratio) ? static_cast<int>(ratio) : 1, 1, kMaxScaleFactor);
}

bool showsRgba() {
  return true;
}

// The ImageData is a view of the program's memory, made at each showing
// because the memory's buffer is replaced whenever it grows.
void showRgba(SDL_Window*, const void* pixels, int pitch, const SDL_Rect& rect) {
  EM_ASM(
      {
        var image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, $0, $1 * ($3 + $5)), $1 / 4,
                                  $3 + $5);
        Module.canvas.getContext('2d').putImageData(image, 0, 0, $2, $3, $4, $5);
        // Shown at the browser's next animation frame.
        if (Module.brizzletShown == null) {
          Module.brizzletShown = false;
          requestAnimationFrame(function() {
            Module.brizzletShown = true;
            if (Module.brizzletWake) Module.brizzletWake();
          });
        }
      },
      pixels, pitch, rect.x, rect.y, rect.w, rect.h);
}

bool soundMayBegin() {
  return !soundWaits();
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
