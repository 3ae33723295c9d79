// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// How dense the display is, for the scale the windows are drawn at.
namespace brz::sdl {

// The first display's density in dots per inch, from the best source there
// is: the X resource Xft.dpi that the desktop sets from its scale setting,
// else what SDL measures of the monitor, else 96. Needs SDL's video up.
float displayDpi();

// A density a real screen can have. Anything else (0 from a monitor that
// reports no size, a few dots from one that reports its size in centimetres)
// says nothing.
bool plausibleDpi(float dpi);

// The Xft.dpi in the text of the X resource database (what `xrdb -query`
// prints: "Xft.dpi:\t192" among other lines), if it holds a plausible one.
std::optional<float> xftDpi(std::string_view resources);

// The X server's resource database as the desktop loaded it, or "" when
// there is none or no X display to ask.
std::string xResources();

}  // namespace brz::sdl
