// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/pointer.h"

namespace brz::sdl {

PictureRef pointerAt(const Runtime& runtime, const Window& window, Twips x, Twips y) {
  const Control* control = runtime.hitTest(window, x, y).control;
  while (control) {
    PictureRef icon = control->mouseIcon();
    if (icon && icon->width > 0 && icon->height > 0) return icon;
    if (!control->windowless()) return nullptr;
    control = dynamic_cast<const Control*>(&control->container());
  }
  return nullptr;
}

}  // namespace brz::sdl
