// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/midi_file.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>

namespace brz::sdl {

namespace {

std::uint32_t bigEndian32(std::string_view bytes, size_t at) {
  std::uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

}  // namespace

bool looksLikeMidi(std::string_view bytes) {
  return bytes.starts_with("MThd") ||
         (bytes.starts_with("RIFF") && bytes.size() >= 12 && bytes.substr(8, 4) == "RMID");
}

std::string midiFault(std::string_view bytes) {
  size_t at = bytes.find("MThd");
  if (at == std::string::npos || at > 20) return "it is not a MIDI file";
  if (bytes.size() < at + 14 || bigEndian32(bytes, at + 4) < 6) return "its header is cut short";
  unsigned tracks =
      static_cast<unsigned char>(bytes[at + 10]) << 8 | static_cast<unsigned char>(bytes[at + 11]);
  at += 8 + bigEndian32(bytes, at + 4);
  for (unsigned track = 0; track < tracks;) {
    if (bytes.size() < at + 8 || bytes.size() - at - 8 < bigEndian32(bytes, at + 4))
      return "the file is cut short in track " + std::to_string(track + 1) + " of " +
             std::to_string(tracks);
    if (bytes.substr(at, 4) == "MTrk") ++track;
    at += 8 + bigEndian32(bytes, at + 4);
  }
  return "";
}

double midiSeconds(std::string_view bytes) {
  size_t at = bytes.find("MThd");
  if (at == std::string::npos || bytes.size() < at + 14) return -1;
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned tracks = byte(at + 10) << 8 | byte(at + 11);
  unsigned division = byte(at + 12) << 8 | byte(at + 13);
  if (division == 0) return -1;
  std::map<std::uint64_t, double> tempo{{0, 500000}};  // tick -> microseconds a beat
  std::uint64_t lastTick = 0;
  at += 8 + bigEndian32(bytes, at + 4);
  for (unsigned track = 0; track < tracks;) {
    if (bytes.size() < at + 8) return -1;
    size_t end = at + 8 + bigEndian32(bytes, at + 4);
    if (end > bytes.size()) return -1;
    bool isTrack = bytes.substr(at, 4) == "MTrk";
    std::uint64_t tick = 0;
    unsigned running = 0;
    auto number = [&](size_t& i) {  // a variable-length quantity
      std::uint64_t value = 0;
      for (int n = 0; n < 4 && i < end; ++n) {
        unsigned char b = byte(i++);
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80)) return value;
      }
      return value;
    };
    for (size_t i = at + 8; isTrack && i < end;) {
      tick += number(i);
      if (i >= end) break;
      unsigned status = byte(i) & 0x80 ? byte(i++) : running;
      if (status < 0xF0) running = status;  // only channel messages run on
      if (status == 0xFF) {
        if (i >= end) break;
        unsigned type = byte(i++);
        size_t length = number(i);
        if (length > end - i) break;
        if (type == 0x51 && length == 3)
          tempo[tick] = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        i += length;
        if (type == 0x2F) break;
      } else if (status == 0xF0 || status == 0xF7) {
        size_t length = number(i);
        i += std::min(length, end - i);
      } else if (status >= 0x80) {
        unsigned kind = status & 0xF0;
        i += kind == 0xC0 || kind == 0xD0 ? 1 : 2;
      } else {
        return -1;  // data with no status to run on
      }
    }
    if (isTrack) ++track;
    lastTick = std::max(lastTick, tick);
    at = end;
  }
  if (division & 0x8000) {  // frames a second and ticks a frame
    int frames = -static_cast<signed char>(division >> 8);
    return frames > 0 ? lastTick / (static_cast<double>(frames) * (division & 0xFF)) : -1;
  }
  double seconds = 0;
  for (auto change = tempo.begin(); change != tempo.end(); ++change) {
    if (change->first >= lastTick) break;
    auto next = std::next(change);
    std::uint64_t until = next == tempo.end() ? lastTick : std::min(next->first, lastTick);
    seconds += (until - change->first) * change->second / 1e6 / division;
  }
  return seconds;
}

}  // namespace brz::sdl
