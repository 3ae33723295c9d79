// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture_size.h"

#include <algorithm>
#include <cstring>

namespace brz {

namespace {

class Reader {
 public:
  explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}
  bool has(size_t at, size_t count) const {
    return at <= bytes_.size() && count <= bytes_.size() - at;
  }
  bool matches(size_t at, const char* text) const {
    size_t n = std::strlen(text);
    return has(at, n) && std::memcmp(bytes_.data() + at, text, n) == 0;
  }
  std::uint32_t byte(size_t at) const { return has(at, 1) ? bytes_[at] : 0; }
  std::uint32_t le16(size_t at) const { return byte(at) | byte(at + 1) << 8; }
  std::uint32_t be16(size_t at) const { return byte(at) << 8 | byte(at + 1); }
  std::uint32_t le32(size_t at) const { return le16(at) | le16(at + 2) << 16; }
  std::uint32_t be32(size_t at) const { return be16(at) << 16 | be16(at + 2); }
  size_t size() const { return bytes_.size(); }

 private:
  std::span<const unsigned char> bytes_;
};

void grow(PictureSize& size, std::int64_t width, std::int64_t height) {
  size.width = std::max(size.width, width);
  size.height = std::max(size.height, height);
}

// A BMP's info header: a 12-byte core header holds 16-bit sizes; the others
// 32-bit signed ones, the height negative for a picture stored top down.
PictureSize bmpInfo(const Reader& r, size_t at, bool doubledHeight) {
  std::int64_t width, height;
  if (r.le32(at) == 12) {
    width = r.le16(at + 4);
    height = r.le16(at + 6);
  } else {
    width = static_cast<std::int32_t>(r.le32(at + 4));
    height = static_cast<std::int32_t>(r.le32(at + 8));
  }
  width = width < 0 ? -width : width;
  height = height < 0 ? -height : height;
  return {width, doubledHeight ? height / 2 : height};
}

// The logical screen and every frame, walking the blocks between them.
PictureSize gif(const Reader& r) {
  PictureSize size{r.le16(6), r.le16(8)};
  size_t at = 13;
  if (r.byte(10) & 0x80) at += 3u << ((r.byte(10) & 7) + 1);
  auto skipSubBlocks = [&] {
    while (r.has(at, 1) && r.byte(at) != 0) at += 1 + r.byte(at);
    ++at;
  };
  while (r.has(at, 1)) {
    std::uint32_t block = r.byte(at);
    if (block == 0x2C) {  // a frame: place, size, flags, its colours and its data
      grow(size, r.le16(at + 5), r.le16(at + 7));
      std::uint32_t flags = r.byte(at + 9);
      at += 10;
      if (flags & 0x80) at += 3u << ((flags & 7) + 1);
      ++at;  // the LZW code size
      skipSubBlocks();
    } else if (block == 0x21) {  // an extension: its label, then its data
      at += 2;
      skipSubBlocks();
    } else {
      break;  // the trailer, or bytes the decoder makes nothing of
    }
  }
  return size;
}

// The first frame header (SOFn) among the markers.
PictureSize jpeg(const Reader& r) {
  size_t at = 2;
  while (r.has(at, 4) && r.byte(at) == 0xFF) {
    std::uint32_t marker = r.byte(at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      return {r.be16(at + 7), r.be16(at + 5)};
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    at += 2 + r.be16(at + 2);
  }
  return {};
}

// Every image of an icon or cursor file, by the header of its stored bitmap
// (whose height counts the mask too) or of its stored PNG.
PictureSize icon(const Reader& r) {
  PictureSize size;
  for (std::uint32_t i = 0, count = r.le16(4); i < count && r.has(6 + 16 * i, 16); ++i) {
    std::uint32_t width = r.byte(6 + 16 * i), height = r.byte(7 + 16 * i);
    grow(size, width ? width : 256, height ? height : 256);
    size_t at = r.le32(6 + 16 * i + 12);
    if (r.matches(at, "\x89PNG"))
      grow(size, r.be32(at + 16), r.be32(at + 20));
    else if (r.has(at, 12))
      grow(size, bmpInfo(r, at, true).width, bmpInfo(r, at, true).height);
  }
  return size;
}

}  // namespace

std::optional<PictureSize> pictureSize(std::span<const unsigned char> bytes) {
  Reader r(bytes);
  if (r.matches(0, "GIF87a") || r.matches(0, "GIF89a")) return gif(r);
  if (r.matches(0, "\x89PNG\r\n\x1a\n")) return PictureSize{r.be32(16), r.be32(20)};
  if (r.matches(0, "\xFF\xD8")) return jpeg(r);
  if (r.matches(0, "BM")) return bmpInfo(r, 14, false);
  if (r.size() >= 6 && r.le16(0) == 0 && (r.le16(2) == 1 || r.le16(2) == 2) && r.le16(4) > 0)
    return icon(r);
  return std::nullopt;
}

}  // namespace brz
