// SPDX-License-Identifier: GPL-3.0-or-later
// The real game on a virtual clock, for the tests that play it: what the front
// end would hand the runtime, and the start in assets/, where the game's
// run-time files are. A test adds its own services (trace, message box, text
// measuring) before it starts the game.
#pragma once

#include <span>
#include <string_view>

#include "assets/layout_pictures.h"
#include "menu/start.h"
#include "platform/runtime.h"
#include "platform/sdl_pictures.h"

namespace brz::test {

// Pictures decoded as on the screen, the layouts' own compiled in. Without
// these the runtime only checks that each picture file opens.
inline Services withPictures(Services services = {}) {
  static SdlPictureDecoder decoder;
  services.pictures = &decoder;
  services.layoutPictures = [](std::string_view name) { return assets::layoutPicture(name); };
  return services;
}

inline void startGame(Runtime& rt) {
  rt.setStartDirectory(BRIZZLET_ASSETS_DIR);
  startBrizzlet(rt);
}

}  // namespace brz::test
