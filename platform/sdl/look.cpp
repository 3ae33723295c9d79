// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/look.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brz::sdl {

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
  int x1 = std::max(a.x, b.x), y1 = std::max(a.y, b.y);
  int x2 = std::min(a.x + a.w, b.x + b.w), y2 = std::min(a.y + a.h, b.y + b.h);
  return {x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1)};
}

int scaleFactorFor(float dpi) {
  if (!(dpi > 0)) return 1;  // also NaN
  double factor = std::ceil(static_cast<double>(dpi) / kClassicDpi - 0.5);
  return static_cast<int>(std::clamp(factor, 1.0, static_cast<double>(kMaxScaleFactor)));
}

Picture magnified(const Picture& picture, const Scale& scale) {
  int f = scale.factor();
  Picture big;
  big.source = picture.source;
  big.fromFile = picture.fromFile;
  big.width = picture.width * f;
  big.height = picture.height * f;
  big.argb.resize(static_cast<size_t>(big.width) * std::max(0, big.height));
  for (int y = 0; y < big.height; ++y)
    for (int x = 0; x < big.width; ++x)
      big.argb[static_cast<size_t>(y) * big.width + x] =
          picture.argb[static_cast<size_t>(y / f) * picture.width + x / f];
  return big;
}

PixelRect clientArea(const Window& window, const Scale& scale) {
  return {scale.toPixels(window.left()) + scale.pixels(kBorderPixels),
          scale.toPixels(window.top()) + scale.pixels(kBorderPixels + kTitlePixels),
          scale.toPixels(window.clientWidth()), scale.toPixels(window.clientHeight())};
}

Rgb toRgb(Color color) {
  // The system colours by index, as the standard classic scheme sets them.
  static constexpr std::array<Rgb, 25> kSystem = {{
      kFace,            // 0 scroll bars
      {0, 128, 128},    // 1 desktop
      {0, 0, 128},      // 2 active title bar
      {128, 128, 128},  // 3 inactive title bar
      kFace,            // 4 menu bar
      {255, 255, 255},  // 5 window background
      {0, 0, 0},        // 6 window frame
      {0, 0, 0},        // 7 menu text
      {0, 0, 0},        // 8 window text
      {255, 255, 255},  // 9 active title text
      kFace,            // 10 active border
      kFace,            // 11 inactive border
      {128, 128, 128},  // 12 application workspace
      {0, 0, 128},      // 13 highlight
      {255, 255, 255},  // 14 highlighted text
      kFace,            // 15 button face
      kShadow,          // 16 button shadow
      kGrayText,        // 17 grey text
      {0, 0, 0},        // 18 button text
      kFace,            // 19 inactive title text
      kHighlight,       // 20 button highlight
      kDarkShadow,      // 21 3-D dark shadow
      kLight,           // 22 3-D light
      {0, 0, 0},        // 23 tool-tip text
      {255, 255, 225},  // 24 tool-tip background
  }};
  if (color & 0x80000000u) {
    std::uint32_t index = color & 0xFFFFu;
    return index < kSystem.size() ? kSystem[index] : kFace;
  }
  return {static_cast<std::uint8_t>(color & 0xFF), static_cast<std::uint8_t>((color >> 8) & 0xFF),
          static_cast<std::uint8_t>((color >> 16) & 0xFF)};
}

}  // namespace brz::sdl
