#pragma once

#include <cmath>
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

// The classic desktop look in numbers: the colour scheme, and the one place
// where twips become pixels. No SDL here.
namespace brz::sdl {

inline constexpr int kTwipsPerPixel = 15;
// The window frame the runtime allows for (kFrameWidth, kFrameHeight): a
// 5-pixel border on every side and a 22-pixel title bar above the client area.
inline constexpr int kBorderPixels = static_cast<int>(kFrameWidth) / 2 / kTwipsPerPixel;
inline constexpr int kTitlePixels = static_cast<int>(kFrameHeight - kFrameWidth) / kTwipsPerPixel;
// Fonts are sized in points on a 96-dpi screen.
inline constexpr float kScreenDpi = 96.0f;

// Nearest pixel, so that a control drawn from pixel p is hit from p * 15 twips.
inline int toPixels(Twips t) {
  return static_cast<int>(std::lround(static_cast<double>(t) / kTwipsPerPixel));
}
inline Twips toTwips(int pixels) {
  return static_cast<Twips>(pixels * kTwipsPerPixel);
}
// The pixel height of a font's em.
inline int fontPixels(float points) {
  return static_cast<int>(std::lround(points * kScreenDpi / 72.0f));
}

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
  bool operator==(const PixelRect&) const = default;
};
PixelRect intersect(const PixelRect& a, const PixelRect& b);

// Where a window's client area lies on the screen, in pixels.
PixelRect clientArea(const Window& window);

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// &H00BBGGRR, or a system colour &H800000nn from the classic grey scheme.
Rgb toRgb(Color color);

// The classic scheme's bevel and text colours.
inline constexpr Rgb kFace{192, 192, 192};
inline constexpr Rgb kShadow{128, 128, 128};
inline constexpr Rgb kHighlight{255, 255, 255};
inline constexpr Rgb kDarkShadow{0, 0, 0};
inline constexpr Rgb kLight{223, 223, 223};
inline constexpr Rgb kGrayText{128, 128, 128};

}  // namespace brz::sdl
