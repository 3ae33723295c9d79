// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the front end does differently by system: starting SDL's video on
// the system's display, and waiting on it. display_posix.cpp (X11 or
// Wayland), display_windows.cpp and display_web.cpp (a browser's page),
// chosen by the build; the two desktops share display_desktop.cpp.
union SDL_Event;

namespace brz::sdl {

// Starts SDL's video; false, with the reason said in one line on stderr,
// when there is no display to show the game on. Call after the front end's
// hints are set.
bool startVideo();

// Whether the display has room for one window only, the page's canvas: the
// game's windows then share it as one screen (SingleScreen).
bool oneWindowOnly();

// Waits up to `ms` milliseconds (for ever if negative) for an event, as
// SDL_WaitEventTimeout does; true when one came, in `event`.
bool waitEvent(SDL_Event& event, int ms);

// The front end's last word, as the game ends with `status`: what run()
// returns.
int leave(int status);

}  // namespace brz::sdl
