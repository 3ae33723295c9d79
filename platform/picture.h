// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brz {

// A decoded picture: straight ARGB pixels, row by row. `source` names where it
// came from (a file path, or the name of a picture stored with a layout).
struct Picture {
  std::string source;
  bool fromFile = false;  // read through LoadPicture, not stored with a layout
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  // Whether every pixel is opaque, when the decoder has worked it out (else
  // it is read from the pixels where needed).
  std::optional<bool> opaque;
};

inline bool allOpaque(const std::vector<std::uint32_t>& argb) {
  for (std::uint32_t p : argb)
    if (p >> 24 != 0xFF) return false;
  return true;
}

using PictureRef = std::shared_ptr<const Picture>;

// Turns picture files into pixels. Failures throw FatalError with a message
// that names the file and the reason.
class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  virtual PictureRef decodeFile(const std::string& path) = 0;
  virtual PictureRef decodeMemory(std::span<const unsigned char> bytes,
                                  const std::string& source) = 0;
};

}  // namespace brz
