// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/picture.h"

namespace brz {

// Decodes GIF, PNG, JPEG, BMP, ICO and CUR pictures with SDL2_image. Needs no
// display.
class SdlPictureDecoder : public PictureDecoder {
 public:
  PictureRef decodeFile(const std::string& path) override;
  PictureRef decodeMemory(std::span<const unsigned char> bytes, const std::string& source) override;
};

}  // namespace brz
