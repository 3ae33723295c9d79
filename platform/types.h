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

// A colour as &H00BBGGRR; system colours are &H80000000 plus the system index.
using Color = std::uint32_t;

inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kButtonFace = 0x8000000F;  // the system's button face
inline constexpr Color kWindowText = 0x80000012;  // the system's button text

struct Font {
  float points = 8.25f;  // the toolkit's default size
  bool bold = false;
};

}  // namespace brz
