// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/properties.h"
#include "platform/sdl/display.h"
#include "platform/sdl/x11_errors.h"

namespace brz::sdl {

namespace {

constexpr int kDisplayAttempts = 5;

}  // namespace

bool startVideo() {
  // SDL would try every kind of display it knows, complaining on stderr, and
  // then draw off screen: only the kind the session has is tried.
  bool x11 = SDL_getenv("DISPLAY"), wayland = SDL_getenv("WAYLAND_DISPLAY");
  if (!x11 && !wayland && !SDL_getenv("SDL_VIDEODRIVER")) {
    std::fprintf(stderr, "brizzlet: no display to show the game on (DISPLAY is not set)\n");
    return false;
  }
  if (wayland && !SDL_getenv("SDL_VIDEODRIVER")) {
    // With no compositor there, X11 is the display if there is one.
    std::string why = waylandAbsence(SDL_getenv("WAYLAND_DISPLAY"));
    if (!why.empty() && !x11) {
      std::fprintf(stderr, "brizzlet: cannot open the display \"%s\": %s\n",
                   shown(SDL_getenv("WAYLAND_DISPLAY")).c_str(), why.c_str());
      return false;
    }
    wayland = why.empty();
  }
  if (x11 != wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 ? "x11" : "wayland");
  installXErrorHandler();
  // A busy X server may turn a connection away for a moment: try a few times.
  for (int attempt = 1; SDL_Init(SDL_INIT_VIDEO) != 0; ++attempt) {
    if (attempt == kDisplayAttempts) {
      // SDL says only that the kind of display is "not available".
      const char* name = x11 ? SDL_getenv("DISPLAY") : SDL_getenv("WAYLAND_DISPLAY");
      std::string why = SDL_GetError();
      if (x11 && !xServerAnswers(name)) why = "no X server answers there";
      std::fprintf(stderr, "brizzlet: cannot open the display \"%s\": %s\n", name ? name : "",
                   why.c_str());
      return false;
    }
    SDL_Delay(100);
  }
  return true;
}

}  // namespace brz::sdl
