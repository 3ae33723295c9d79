// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/pointer.h"

namespace brz::sdl {

namespace {

// Controls without a window of their own: their container draws them and
// answers the mouse over them.
bool drawnByContainer(ControlKind kind) {
  return kind == ControlKind::Label || kind == ControlKind::Image || kind == ControlKind::Line;
}

PictureRef mouseIcon(const Control& control) {
  if (auto* frame = dynamic_cast<const Frame*>(&control)) return frame->mouseIcon();
  if (auto* button = dynamic_cast<const CommandButton*>(&control)) return button->mouseIcon();
  return nullptr;
}

}  // namespace

PictureRef pointerAt(const Runtime& runtime, const Window& window, Twips x, Twips y) {
  const Control* control = runtime.hitTest(window, x, y).control;
  while (control) {
    PictureRef icon = mouseIcon(*control);
    if (icon && icon->width > 0 && icon->height > 0) return icon;
    if (!drawnByContainer(control->kind())) return nullptr;
    control = dynamic_cast<const Control*>(&control->container());
  }
  return nullptr;
}

}  // namespace brz::sdl
