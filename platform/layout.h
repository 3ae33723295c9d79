// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "platform/controls.h"

namespace brz {

// Marks a colour the layout leaves at the kind's default.
inline constexpr Color kDefaultColor = 0xFFFFFFFF;

// One row of a window's layout table: what the control is, where it sits and
// how it is set up. Rows are listed container by container, each container's
// children in stacking order, the first in front. A line's place is its two
// ends: Left/Top hold (X1, Y1) and Width/Height hold (X2, Y2).
struct ControlLayout {
  ControlKind kind;
  std::string_view name = {};
  int index = -1;                   // within a control array, else -1
  std::string_view container = {};  // a frame or picture box; "" for the window
  Twips left = 0, top = 0, width = 0, height = 0;
  std::string_view caption = {};  // also a text box's Text
  bool hidden = false;
  bool disabled = false;
  Color back = kDefaultColor;
  Color fore = kDefaultColor;
  float points = 8.25f;
  bool bold = false;
  bool centred = false;
  bool wrapped = false;
  bool autoSize = false;
  bool transparent = false;
  bool graphical = false;           // a button whose back colour shows
  std::string_view picture = {};    // a picture stored with the layout
  std::string_view mouseIcon = {};  // a custom pointer stored with the layout
  int interval = 0;                 // a timer's
  int value = 0;                    // a check box's
  std::string_view tag = {};
  int borderWidth = 1;  // a line's, in pixels
};

struct WindowLayout {
  std::string_view name = {};
  std::string_view caption = {};
  Twips clientWidth = 0, clientHeight = 0;
  Color back = kButtonFace;
  std::string_view icon = {};
};

}  // namespace brz
