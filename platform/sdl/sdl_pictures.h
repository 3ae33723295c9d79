// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/picture.h"
#include "platform/system.h"

namespace brz {

// Decodes GIF, PNG, JPEG, BMP, ICO and CUR pictures with SDL2_image. Needs no
// display.
class SdlPictureDecoder : public PictureDecoder {
 public:
  PictureRef decodeFile(const std::string& path) override;
  PictureRef decodeMemory(std::span<const unsigned char> bytes, const std::string& source) override;

 private:
  // The last bytes read from each file, what they decoded to, and the file's
  // stamp when they were read. Every load looks at the file's entry (so a
  // removed or changed file is seen then); a file is read again unless its
  // stamp, settled, vouches for the bytes, and the same bytes are not decoded
  // again.
  struct Decoded {
    std::vector<unsigned char> bytes;
    PictureRef picture;
    FileStamp stamp;
    bool settled = false;  // the stamp can vouch for the bytes
  };
  std::map<std::string, Decoded> decoded_;
  std::vector<unsigned char> reading_;  // what each load reads into
};

}  // namespace brz
