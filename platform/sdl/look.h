// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/picture.h"
#include "platform/types.h"
#include "platform/window.h"

// The classic desktop look in numbers: the colour scheme, and the scale by
// which the front end turns twips into pixels. No SDL here.
namespace brz::sdl {

// The look was drawn for a 96-dpi screen, where a pixel is kTwipsPerPixel.
inline constexpr float kClassicDpi = 96.0f;
// The window frame the runtime allows for (kFrameWidth, kFrameHeight): a
// 5-pixel border on every side and a 22-pixel title bar above the client area.
inline constexpr int kBorderPixels = static_cast<int>(kFrameWidth) / 2 / kTwipsPerPixel;
inline constexpr int kTitlePixels = static_cast<int>(kFrameHeight - kFrameWidth) / kTwipsPerPixel;

// The whole-number factor a screen of `dpi` dots per inch is drawn at: the
// nearest to dpi / 96, a half going down, and never below 1. So 1 up to 144
// dpi, 2 up to 240, 3 up to 336, and so on, up to a bound no screen reaches.
inline constexpr int kMaxScaleFactor = 16;
int scaleFactorFor(float dpi);

// Twips to pixels and back on a screen drawn at a whole-number factor: each
// pixel of the 96-dpi look becomes a square of factor x factor pixels, so
// pictures stay sharp and every line keeps its proportions. Everything the
// front end draws or reads from the mouse goes through one of these.
class Scale {
 public:
  constexpr Scale() = default;
  constexpr explicit Scale(int factor) : factor_(factor < 1 ? 1 : factor) {}
  constexpr int factor() const { return factor_; }

  // The pixel boundary nearest to a position, a half going down; also a
  // length in pixels. A control from L to R twips covers the pixels whose
  // middles lie in [L, R): those that pointAt hits it from.
  int toPixels(Twips t) const {
    return static_cast<int>(std::ceil(static_cast<double>(t) * factor_ / kTwipsPerPixel - 0.5));
  }
  // A length of pixels in twips; also where a pixel begins.
  Twips toTwips(int pixels) const {
    return static_cast<Twips>(static_cast<double>(pixels) * kTwipsPerPixel / factor_);
  }
  // Where the mouse points when it is on a pixel: the twips at its middle.
  // toPixels(pointAt(p)) is p.
  Twips pointAt(int pixel) const {
    return static_cast<Twips>((pixel + 0.5) * kTwipsPerPixel / factor_);
  }
  // A length the look gives in 96-dpi pixels (a border, a bevel, a margin).
  constexpr int pixels(int classic) const { return classic * factor_; }
  // The pixel height of a font's em: its points at 96 dpi, times the factor.
  // Text is laid out afresh at that size, never magnified.
  int fontPixels(float points) const {
    return static_cast<int>(std::lround(points * kClassicDpi * factor_ / 72.0f));
  }

  bool operator==(const Scale&) const = default;

 private:
  int factor_ = 1;
};

// A picture magnified by the factor, each pixel a square (nearest neighbour).
Picture magnified(const Picture& picture, const Scale& scale);

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
  bool operator==(const PixelRect&) const = default;
};
PixelRect intersect(const PixelRect& a, const PixelRect& b);
// Joins rectangles that mostly overlap: two become the one that holds both
// when that is no more pixels than the two, so no pixel is drawn twice for
// nothing.
void join(std::vector<PixelRect>& rects);

// A picture resized to `width` x `height` by averaging the pixels each new
// one covers, for a smaller rendering of a drawing (a window's icon in its
// title bar).
Picture resampled(const Picture& picture, int width, int height);

// Where a window's client area lies on the screen, in pixels.
PixelRect clientArea(const Window& window, const Scale& scale);
// Where the whole window lies, its frame included: the client area with
// kBorderPixels round it and kTitlePixels more above.
PixelRect windowArea(const Window& window, const Scale& scale);
// The frame's title bar, and the close box at its right end, in a window's
// whole area.
PixelRect titleBar(const PixelRect& window, const Scale& scale);
PixelRect closeBox(const PixelRect& window, const Scale& scale);

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
