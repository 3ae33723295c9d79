// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/sound_files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/system.h"

namespace brz::sdl {

namespace {

constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};

// No sound the game plays comes near this: ten minutes of CD-quality sound
// is 106 MB, its gun shot 26 kB.
constexpr std::uint64_t kLargestSound = 64 << 20;

// Why a soundfont cannot be used, or "": a SoundFont is a RIFF file of
// kind "sfbk", all of it there.
std::string soundFontFault(const std::string& path) {
  std::uint64_t size = 0;
  if (std::string fault = runTimeFileFault(path, size); !fault.empty()) return fault;
  int file = openToRead(path);
  if (file < 0) return std::strerror(errno);
  unsigned char head[12] = {};
  ssize_t got = ::read(file, head, sizeof head);
  ::close(file);
  if (got != sizeof head || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "sfbk", 4) != 0)
    return "it is not a SoundFont file";
  std::uint32_t length =
      head[4] | head[5] << 8 | head[6] << 16 | static_cast<std::uint32_t>(head[7]) << 24;
  if (size - 8 < length) return "the file is cut short";
  return "";
}

}  // namespace

std::string readSoundFile(const std::string& path, std::string& bytes) {
  return readRunTimeFile(path, bytes, kLargestSound,
                         "the file is larger than any sound the game plays (over " +
                             std::to_string(kLargestSound >> 20) + " MB)");
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
