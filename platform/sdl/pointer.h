// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "platform/runtime.h"

// What the mouse does in the classic toolkit, decided without SDL: which
// pointer shows where, and which presses of a button are clicks.
namespace brz::sdl {

// The custom pointer that shows at a point of a window's client area, or null
// for the arrow. A control with a MouseIcon shows it; the controls its
// container draws itself (labels, images, lines) show their container's; any
// other control, and the bare window, show the arrow.
PictureRef pointerAt(const Runtime& runtime, const Window& window, Twips x, Twips y);

enum class MouseButton { Left, Right, Other };

// The double-click rectangle, centred on the first press: 4 x 4 pixels of the
// 96-dpi look, so the same size in twips at every scale.
inline constexpr Twips kDoubleClickSize = 60;

// Turns the presses of the mouse into clicks. Frames, labels, images, picture
// boxes and the window itself click with either button, and the second press
// of a double click on them (the same button on the same control, within the
// double-click time and the double-click rectangle of the first) is not a
// click but the double click itself; a third press starts a new pair. Buttons
// and check boxes click with the left button only, every press.
class ClickRules {
 public:
  explicit ClickRules(std::uint64_t doubleClickMs = 500) : doubleClickMs_(doubleClickMs) {}
  // `target` is the control the press lands on, null for the window itself;
  // x and y are where, in the window's twips.
  bool isClick(const Window& window, const Control* target, MouseButton button, Twips x, Twips y,
               std::uint64_t timeMs);

 private:
  std::uint64_t doubleClickMs_;
  const void* last_ = nullptr;  // the first press of a possible double click
  MouseButton lastButton_ = MouseButton::Left;
  Twips lastX_ = 0, lastY_ = 0;
  std::uint64_t lastMs_ = 0;
};

}  // namespace brz::sdl
