#pragma once

namespace brz::sdl {

// Keeps a harmless X error from ending the game: see x11_errors.cpp. Call once
// SDL's video is up; does nothing away from X11.
void tolerateLostWakeups();

}  // namespace brz::sdl
