// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Starting SDL's video on the system's display, which differs by system:
// display_posix.cpp (X11 or Wayland) and display_windows.cpp, chosen by the
// build.
namespace brz::sdl {

// Starts SDL's video; false, with the reason said in one line on stderr,
// when there is no display to show the game on. Call after the front end's
// hints are set.
bool startVideo();

}  // namespace brz::sdl
