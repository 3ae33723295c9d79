// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "platform/sdl/fonts.h"

struct SDL_Window;
union SDL_Event;

namespace brz::sdl {

// The toolkit's message box: the text and an OK button in a window of its
// own, centred over `parent` (or the screen), in the same look as the game's
// windows. Modal: returns once OK is pressed (a click, Enter, Space or Escape)
// or the box is closed. Events for the other windows go to `elsewhere`, which
// redraws them but takes no input. Returns false if the box cannot be shown.
bool showMessageBox(const std::string& title, const std::string& text, Fonts& fonts,
                    SDL_Window* parent, const std::function<void(const SDL_Event&)>& elsewhere);

}  // namespace brz::sdl
