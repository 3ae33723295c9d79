// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the front end asks of the system it runs on. A desktop answers in
// system_desktop.cpp, a browser in system_web.cpp; the build links the one
// it is for, and the rest of the front end is the same on both.
union SDL_Event;

namespace brz::sdl {

// Starts SDL's video on the display the game shows on. False, with the
// reason on stderr, when there is none.
bool openDisplay();

// Waits up to `ms` milliseconds (for ever if negative) for an event, as
// SDL_WaitEventTimeout does; true when one came, in `event`.
bool waitEvent(SDL_Event& event, int ms);

}  // namespace brz::sdl
