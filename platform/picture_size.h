// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace brz {

// The largest width and height of the pictures a file holds, read from its
// headers alone, so that a picture too large to show is refused before any
// memory is spent on its pixels. Knows GIF (every frame), PNG, JPEG, BMP, ICO
// and CUR; nullopt for any other kind of file. A header cut short reads as
// far as it goes: the decoder then refuses what is missing.
struct PictureSize {
  std::int64_t width = 0, height = 0;
};
std::optional<PictureSize> pictureSize(std::span<const unsigned char> bytes);

}  // namespace brz
