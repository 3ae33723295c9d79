// SPDX-License-Identifier: GPL-3.0-or-later
// The X resource database, read through Xlib on a connection of its own. Kept
// apart from the rest of the front end: Xlib's names (Window, None, Bool)
// would clash with it.
#include <string>

#ifdef BRIZZLET_X11
#include <X11/Xlib.h>
#endif

#include "platform/sdl/density.h"

namespace brz::sdl {

std::string xResources() {
#ifdef BRIZZLET_X11
  Display* display = XOpenDisplay(nullptr);
  if (!display) return {};
  // The RESOURCE_MANAGER property of the root window, as it was when the
  // connection opened.
  const char* resources = XResourceManagerString(display);
  std::string text = resources ? resources : "";
  XCloseDisplay(display);
  return text;
#else
  return {};
#endif
}

}  // namespace brz::sdl
