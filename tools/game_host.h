// SPDX-License-Identifier: GPL-3.0-or-later
// The game's host off the screen, for the scenario runner, the benchmarks and
// the tests that play the real game on a virtual clock: no window and no
// sound, message boxes answered OK at once, but the pictures decoded as on the
// screen (or by a decoder of the caller's), the layouts' own pictures compiled
// in, and the directory the game starts in.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "assets/layout_pictures.h"
#include "platform/host.h"
#include "platform/sdl/sdl_pictures.h"

namespace brz {

class GameHost : public HeadlessHost {
 public:
  explicit GameHost(std::string startDirectory, PictureDecoder* decoder = nullptr)
      : directory_(std::move(startDirectory)), decoder_(decoder ? decoder : &sdl_) {}

  PictureDecoder* pictures() override { return decoder_; }
  std::span<const unsigned char> layoutPicture(std::string_view name) override {
    return assets::layoutPicture(name);
  }
  std::string startDirectory() override { return directory_; }

 private:
  SdlPictureDecoder sdl_;
  std::string directory_;
  PictureDecoder* decoder_;
};

}  // namespace brz
