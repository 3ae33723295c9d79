// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/sound_files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/system.h"

namespace brz::sdl {

namespace {

constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};

// Why a soundfont cannot be used, or "": a SoundFont is a RIFF file of
// kind "sfbk", all of it there.
std::string soundFontFault(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::strerror(errno);
  unsigned char head[12] = {};
  file.read(reinterpret_cast<char*>(head), sizeof head);
  if (!file || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "sfbk", 4) != 0)
    return "it is not a SoundFont file";
  std::uint32_t length =
      head[4] | head[5] << 8 | head[6] << 16 | static_cast<std::uint32_t>(head[7]) << 24;
  std::error_code error;
  if (std::filesystem::file_size(path, error) - 8 < length) return "the file is cut short";
  return "";
}

}  // namespace

// Opened as system.h opens files, so that any folder's name reaches the system.
std::string readSoundFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::error_code error;
  if (std::filesystem::is_directory(filePath(path), error)) return "it is a directory";
  int file = openToRead(path);
  if (file < 0) return std::strerror(errno);
  char block[65536];
  int reason = 0;
  for (;;) {
    auto got = ::read(file, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) reason = errno;
    if (got <= 0) break;
    bytes.append(block, static_cast<size_t>(got));
  }
  ::close(file);
  if (reason) return std::strerror(reason);
  if (bytes.empty()) return "the file is empty";
  return "";
}

std::string findSoundFont() {
  if (const char* set = std::getenv("SDL_SOUNDFONTS"); set && *set) return set;
  for (const char* path : kSoundFonts) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) return path;
  }
  return {};
}

std::string usableSoundFonts(const std::string& list, std::vector<std::string>& faults) {
  std::string usable;
  for (size_t at = 0; at < list.size();) {
    size_t end = std::min(list.find_first_of(":;", at), list.size());
    std::string path = list.substr(at, end - at);
    at = end + 1;
    if (path.empty()) continue;
    if (std::string fault = soundFontFault(path); !fault.empty())
      faults.push_back("cannot use the soundfont \"" + path + "\": " + fault);
    else
      usable += (usable.empty() ? "" : ":") + path;
  }
  return usable;
}

}  // namespace brz::sdl
