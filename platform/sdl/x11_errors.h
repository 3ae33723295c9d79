// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

union SDL_Event;
struct SDL_Window;

namespace brz::sdl {

// Keeps an X error about a window that is gone from ending the game: see
// x11_errors.cpp. Call before SDL_Init, so that SDL saves this handler and
// puts it back at SDL_Quit. Does nothing away from X11.
void installXErrorHandler();

// Has SDL pass on the X events it does not handle itself, so that
// destroyedFromOutside can see them. Call once SDL's video is up.
void watchWindowDestruction();

// Whether `event` tells that the X window of `window` was destroyed. SDL
// destroys the game's windows only after the event loop, so during it that
// is the work of another X client.
bool destroyedFromOutside(const SDL_Event& event, SDL_Window* window);

// Whether an X server takes a connection at the display `name`. True away
// from X11, where there is no telling.
bool xServerAnswers(const char* name);

// Why no Wayland compositor takes a connection at the display `name`, or ""
// when one does. Asked before SDL tries, since libwayland would complain on
// stderr itself at each of SDL's tries. "" away from Unix.
std::string waylandAbsence(const char* name);

}  // namespace brz::sdl
