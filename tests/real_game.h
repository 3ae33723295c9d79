// SPDX-License-Identifier: GPL-3.0-or-later
// The real game on a virtual clock, for the tests that play it: its pictures
// decoded as on the screen, the layouts' own compiled in, and the start in
// assets/, where the game's run-time files are. A test overrides the rest of
// the host (message box, text measuring) as it needs.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "assets/layout_pictures.h"
#include "platform/host.h"
#include "platform/sdl/sdl_pictures.h"

namespace brz::test {

struct GameHost : HeadlessHost {
  SdlPictureDecoder decoder;
  PictureDecoder* pictures() override { return &decoder; }
  std::span<const unsigned char> layoutPicture(std::string_view name) override {
    return assets::layoutPicture(name);
  }
  std::string startDirectory() override { return BRIZZLET_ASSETS_DIR; }
};

}  // namespace brz::test
