// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/pointer.h"

#include <cmath>

namespace brz::sdl {

namespace {

bool clicksWithEitherButton(const Control* target) {
  if (!target) return true;
  switch (target->kind()) {
    case ControlKind::Frame:
    case ControlKind::Label:
    case ControlKind::Image:
    case ControlKind::PictureBox:
      return true;
    default:
      return false;
  }
}

bool hasDoubleClick(const Control* target) {
  return clicksWithEitherButton(target) ||
         (target->kind() != ControlKind::CommandButton && target->kind() != ControlKind::CheckBox);
}

}  // namespace

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

bool ClickRules::isClick(const Window& window, const Control* target, MouseButton button, Twips x,
                         Twips y, std::uint64_t timeMs) {
  const void* key = target ? static_cast<const void*>(target) : static_cast<const void*>(&window);
  bool counts = button == MouseButton::Left ||
                (button == MouseButton::Right && clicksWithEitherButton(target));
  if (counts && hasDoubleClick(target)) {
    bool near = std::abs(x - lastX_) * 2 <= kDoubleClickSize &&
                std::abs(y - lastY_) * 2 <= kDoubleClickSize;
    bool second =
        last_ == key && lastButton_ == button && near && timeMs - lastMs_ <= doubleClickMs_;
    if (second) {
      last_ = nullptr;  // a third press starts afresh
      return false;
    }
    last_ = key;
    lastButton_ = button;
    lastX_ = x;
    lastY_ = y;
    lastMs_ = timeMs;
    return true;
  }
  last_ = nullptr;  // any other press breaks a double click
  return counts;
}

}  // namespace brz::sdl
