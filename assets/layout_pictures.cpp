// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/layout_pictures.h"

namespace brz::assets {
namespace {

struct LayoutPicture {
  std::string_view name;
  std::span<const unsigned char> bytes;
};

// The byte arrays and the table kLayoutPictures, written at build time from
// the files in assets/pictures by embed_pictures.cmake.
#include "layout_pictures_data.inc"

}  // namespace

std::span<const unsigned char> layoutPicture(std::string_view name) {
  for (const LayoutPicture& picture : kLayoutPictures) {
    if (picture.name == name) return picture.bytes;
  }
  return {};
}

}  // namespace brz::assets
