// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace brz {

// Every position and size the windows deal in is in twips, 1/1440 of an inch,
// kept in single precision exactly as written. Pixels exist only in the front end.
using Twips = float;

// Milliseconds on the runtime's clock (virtual in tests, real in the game).
using Millis = std::int64_t;

// The look was drawn for a 96-dpi screen, where a pixel is 15 twips. Sizes
// given in pixels (a line's width, a picture's, the double-click rectangle)
// are so many of these pixels, whatever the screen.
inline constexpr int kTwipsPerPixel = 15;

// A colour as &H00BBGGRR; system colours are &H80000000 plus the system index.
using Color = std::uint32_t;

// Every colour the layouts and the rules name.
inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kRed = 0x000000FF;
inline constexpr Color kGreen = 0x0000FF00;
inline constexpr Color kBlue = 0x00FF0000;
inline constexpr Color kYellow = 0x0000FFFF;
inline constexpr Color kCyan = 0x00FFFF00;
inline constexpr Color kLightCyan = 0x00FFFF80;
inline constexpr Color kLightYellow = 0x0080FFFF;
inline constexpr Color kButtonFace = 0x8000000F;  // the system's button face
inline constexpr Color kWindowText = 0x80000012;  // the system's button text

// A part of a window's client area in twips, [x, x + w) across and [y, y + h)
// down, measured from the client area's top left unless said otherwise.
struct TwipsRect {
  Twips x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
  bool contains(const TwipsRect& r) const {
    return r.x >= x && r.y >= y && r.x + r.w <= x + w && r.y + r.h <= y + h;
  }
  TwipsRect movedBy(Twips dx, Twips dy) const { return {x + dx, y + dy, w, h}; }
  bool operator==(const TwipsRect&) const = default;
};

inline TwipsRect intersect(const TwipsRect& a, const TwipsRect& b) {
  Twips left = a.x > b.x ? a.x : b.x, top = a.y > b.y ? a.y : b.y;
  Twips right = a.x + a.w < b.x + b.w ? a.x + a.w : b.x + b.w;
  Twips bottom = a.y + a.h < b.y + b.h ? a.y + a.h : b.y + b.h;
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

struct Font {
  float points = 8.25f;  // the toolkit's default size
  bool bold = false;
  bool operator==(const Font&) const = default;
};

}  // namespace brz
