// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/sound_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

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

std::string readSoundFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::strerror(errno);
  std::error_code error;
  std::string fault;
  if (std::filesystem::is_directory(path, error)) {
    fault = "it is a directory";
  } else {
    char block[65536];
    while (size_t got = std::fread(block, 1, sizeof block, file)) bytes.append(block, got);
    if (std::ferror(file))
      fault = std::strerror(errno);
    else if (bytes.empty())
      fault = "the file is empty";
  }
  std::fclose(file);
  return fault;
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
