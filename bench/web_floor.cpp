// SPDX-License-Identifier: GPL-3.0-or-later
// The floor under the browser's figures: the least an SDL page built as the
// game is can do. It opens the canvas as large as the page's viewport, in
// device pixels, draws one frame there as the game draws its screen (a
// window surface, filled and sent) and then leaves the page to itself.
#include <SDL.h>
#include <emscripten.h>

EM_JS(int, viewportWidth, (),
      { return Math.floor(window.innerWidth * (window.devicePixelRatio || 1)); });
EM_JS(int, viewportHeight, (),
      { return Math.floor(window.innerHeight * (window.devicePixelRatio || 1)); });

int main(int, char**) {
  SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");  // as the game runs SDL in the browser
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("floor", 0, 0, viewportWidth(), viewportHeight(), 0);
  SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!surface) return 1;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 128, 128));
  SDL_UpdateWindowSurface(window);
  return 0;
}
