// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/music_key.h"

#include <array>
#include <cstdint>

namespace brz::sdl {

namespace {

constexpr std::array<std::uint32_t, 64> kRounds = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

std::uint32_t rotate(std::uint32_t x, int n) {
  return x >> n | x << (32 - n);
}

void compress(std::array<std::uint32_t, 8>& state, const unsigned char* block) {
  std::uint32_t w[64];
  for (int i = 0; i < 16; ++i)
    w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
           std::uint32_t{block[4 * i + 2]} << 8 | block[4 * i + 3];
  for (int i = 16; i < 64; ++i) {
    std::uint32_t s0 = rotate(w[i - 15], 7) ^ rotate(w[i - 15], 18) ^ w[i - 15] >> 3;
    std::uint32_t s1 = rotate(w[i - 2], 17) ^ rotate(w[i - 2], 19) ^ w[i - 2] >> 10;
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  std::array<std::uint32_t, 8> v = state;
  for (int i = 0; i < 64; ++i) {
    std::uint32_t s1 = rotate(v[4], 6) ^ rotate(v[4], 11) ^ rotate(v[4], 25);
    std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
    std::uint32_t t1 = v[7] + s1 + choice + kRounds[i] + w[i];
    std::uint32_t s0 = rotate(v[0], 2) ^ rotate(v[0], 13) ^ rotate(v[0], 22);
    std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    for (int j = 7; j > 0; --j) v[j] = v[j - 1];
    v[4] += t1;
    v[0] = t1 + s0 + majority;
  }
  for (int i = 0; i < 8; ++i) state[i] += v[i];
}

// Ogg's checksum of a page, with its own checksum's field as zeros.
std::uint32_t pageChecksum(std::string_view page) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t r = i << 24;
      for (int bit = 0; bit < 8; ++bit) r = r & 0x80000000 ? r << 1 ^ 0x04c11db7 : r << 1;
      t[i] = r;
    }
    return t;
  }();
  std::uint32_t sum = 0;
  for (size_t i = 0; i < page.size(); ++i) {
    auto byte = i >= 22 && i < 26 ? 0u : static_cast<unsigned char>(page[i]);
    sum = sum << 8 ^ table[(sum >> 24 ^ byte) & 0xFF];
  }
  return sum;
}

std::uint32_t littleEndian(std::string_view bytes, size_t at) {
  auto byte = [&](size_t i) { return std::uint32_t{static_cast<unsigned char>(bytes[at + i])}; };
  return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

// The second packet of an Ogg stream, where Vorbis keeps its comments; "" if
// the bytes end before it does. Pages are taken as they come: a rendering
// holds one stream.
std::string secondPacket(std::string_view ogg) {
  std::string packet;
  int done = 0;
  for (size_t page = 0; page + 27 <= ogg.size() && ogg.substr(page, 4) == "OggS";) {
    size_t segments = static_cast<unsigned char>(ogg[page + 26]);
    size_t body = page + 27 + segments;
    if (body > ogg.size()) break;
    for (size_t i = 0; i < segments; ++i) {
      size_t lace = static_cast<unsigned char>(ogg[page + 27 + i]);
      if (body + lace > ogg.size()) return "";
      if (done == 1) packet.append(ogg.substr(body, lace));
      body += lace;
      if (lace < 255 && ++done == 2) return packet;
    }
    page = body;
  }
  return "";
}

}  // namespace

std::string renderingPath(const std::string& midiPath) {
  return midiPath + ".ogg";
}

std::string musicKey(std::string_view bytes) {
  std::array<std::uint32_t, 8> state = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  size_t whole = bytes.size() / 64 * 64;
  for (size_t at = 0; at < whole; at += 64)
    compress(state, reinterpret_cast<const unsigned char*>(bytes.data() + at));
  // The rest, a one bit, zeros, and the length in bits: one block or two.
  unsigned char tail[128] = {};
  size_t rest = bytes.size() - whole;
  bytes.copy(reinterpret_cast<char*>(tail), rest, whole);
  tail[rest] = 0x80;
  size_t blocks = rest < 56 ? 1 : 2;
  std::uint64_t bits = std::uint64_t{bytes.size()} * 8;
  for (int i = 0; i < 8; ++i) tail[blocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> 8 * i);
  for (size_t b = 0; b < blocks; ++b) compress(state, tail + 64 * b);
  std::string hex;
  for (std::uint32_t word : state)
    for (int shift = 28; shift >= 0; shift -= 4) hex += "0123456789abcdef"[word >> shift & 0xF];
  return hex;
}

std::string renderingFault(std::string_view ogg) {
  for (size_t page = 0; page < ogg.size();) {
    std::string_view rest = ogg.substr(page);
    if (rest.size() < 27) return "is cut short";
    if (rest.substr(0, 4) != "OggS") return "is damaged";
    size_t segments = static_cast<unsigned char>(rest[26]);
    size_t size = 27 + segments;
    if (size > rest.size()) return "is cut short";
    for (size_t i = 0; i < segments; ++i) size += static_cast<unsigned char>(rest[27 + i]);
    if (size > rest.size()) return "is cut short";
    if (pageChecksum(rest.substr(0, size)) != littleEndian(rest, 22)) return "is damaged";
    page += size;
    // The last page says so.
    if (rest[5] & 4) return page == ogg.size() ? "" : "is damaged";
  }
  return "is cut short";
}

std::string renderingKey(std::string_view ogg) {
  std::string packet = secondPacket(ogg);
  std::string_view comments = packet;
  if (comments.size() < 11 || comments.substr(0, 7) != "\x03vorbis") return "";
  size_t at = 7;
  // The vendor's name, then how many comments.
  size_t vendor = littleEndian(comments, at);
  if (vendor > comments.size() - at - 8) return "";
  at += 4 + vendor;
  size_t count = littleEndian(comments, at);
  at += 4;
  for (size_t i = 0; i < count && comments.size() - at >= 4; ++i) {
    size_t length = littleEndian(comments, at);
    at += 4;
    if (length > comments.size() - at) return "";
    std::string_view comment = comments.substr(at, length);
    at += length;
    if (comment.size() > kMusicKeyTag.size() && comment.starts_with(kMusicKeyTag) &&
        comment[kMusicKeyTag.size()] == '=')
      return std::string(comment.substr(kMusicKeyTag.size() + 1));
  }
  return "";
}

}  // namespace brz::sdl
