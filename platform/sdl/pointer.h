// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/runtime.h"

// Which pointer shows where, decided without SDL.
namespace brz::sdl {

// The custom pointer that shows at a point of a window's client area, or null
// for the arrow. A control with a MouseIcon shows it; the controls its
// container draws itself (labels, images, lines) show their container's; any
// other control, and the bare window, show the arrow.
PictureRef pointerAt(const Runtime& runtime, const Window& window, Twips x, Twips y);

}  // namespace brz::sdl
