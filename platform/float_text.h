// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brz {

// Floating-point numbers as text, written and read alike on every standard
// library. Where the library lacks the floating-point std::to_chars and
// std::from_chars (libc++ before 14, the one WebAssembly builds use), the C
// library's printf and strtof do their work, to the same result.

// The shortest text that reads back as exactly VALUE, in std::to_chars's
// form: fixed or exponent, whichever is shorter ("3877.5", "0.1", "1e+20").
std::string shortestText(float value);
std::string shortestText(double value);

// The float that all of TEXT spells, in std::from_chars's general form; none
// when TEXT is not a number or its value is too large or too small for a float.
std::optional<float> readFloat(std::string_view text);

// The versions built on the C library, used where the standard library has
// none; the unit tests compare them with the standard library's.
namespace c_library {
std::string shortestText(float value);
std::string shortestText(double value);
std::optional<float> readFloat(std::string_view text);
}  // namespace c_library

}  // namespace brz
