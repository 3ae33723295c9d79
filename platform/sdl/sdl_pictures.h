// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/picture.h"

namespace brz {

// Decodes GIF, PNG, JPEG, BMP, ICO and CUR pictures with SDL2_image. Needs no
// display.
class SdlPictureDecoder : public PictureDecoder {
 public:
  PictureRef decodeFile(const std::string& path) override;
  PictureRef decodeMemory(std::span<const unsigned char> bytes, const std::string& source) override;

 private:
  // The last bytes read from each file and what they decoded to. A file is
  // still read at every load (so a removed or damaged file fails then), but
  // the same bytes are not decoded again: a shot loads two magazine pictures.
  struct Decoded {
    std::vector<unsigned char> bytes;
    PictureRef picture;
  };
  std::map<std::string, Decoded> decoded_;
  std::vector<unsigned char> reading_;  // what each load reads into
};

}  // namespace brz
