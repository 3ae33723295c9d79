// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/density.h"

#include <SDL.h>

#include <cmath>
#include <cstring>
#include <optional>

#include "platform/float_text.h"
#include "platform/sdl/look.h"

namespace brz::sdl {

namespace {

constexpr float kLeastDpi = 48.0f, kMostDpi = 1200.0f;

std::string_view trimmed(std::string_view s) {
  size_t start = s.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return {};
  size_t end = s.find_last_not_of(" \t\r");
  return s.substr(start, end - start + 1);
}

}  // namespace

bool plausibleDpi(float dpi) {
  return std::isfinite(dpi) && dpi >= kLeastDpi && dpi <= kMostDpi;
}

// One resource a line, "name: value"; a later line overrides an earlier one,
// as it does when the database is loaded.
std::optional<float> xftDpi(std::string_view resources) {
  std::optional<float> found;
  while (!resources.empty()) {
    size_t end = resources.find('\n');
    std::string_view line = resources.substr(0, end);
    resources = end == std::string_view::npos ? std::string_view{} : resources.substr(end + 1);
    size_t colon = line.find(':');
    if (colon == std::string_view::npos || trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
    std::string_view value = trimmed(line.substr(colon + 1));
    std::optional<float> dpi = readFloat(value);
    if (dpi && plausibleDpi(*dpi))
      found = dpi;
    else
      found.reset();
  }
  return found;
}

float displayDpi() {
  const char* driver = SDL_GetCurrentVideoDriver();
  // A Wayland compositor magnifies the windows of SDL 2 by its own scale:
  // drawing them larger as well would magnify them twice.
  if (driver && std::strcmp(driver, "wayland") == 0) return kClassicDpi;
  // The desktop's own scale setting comes first, as GTK and Qt take it: a
  // 4K monitor at 100 % states 96 there, whatever the monitor's size says.
  if (driver && std::strcmp(driver, "x11") == 0)
    if (auto xft = xftDpi(xResources())) return *xft;
  float dpi = 0;
  if (SDL_GetDisplayDPI(0, &dpi, nullptr, nullptr) == 0 && plausibleDpi(dpi)) return dpi;
  return kClassicDpi;
}

}  // namespace brz::sdl
