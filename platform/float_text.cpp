// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/float_text.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

namespace brz {

namespace c_library {

namespace {

template <typename F>
F readBack(const char* text, char** end) {
  if constexpr (std::is_same_v<F, float>)
    return std::strtof(text, end);
  else
    return std::strtod(text, end);
}

// The digits of a number in exponent form, d.ddd × 10^exponent, without the
// point.
struct Digits {
  std::string digits;
  int exponent = 0;
};

Digits digitsOf(std::string mantissa, int exponent) {
  if (mantissa.size() > 1) mantissa.erase(1, 1);
  return {mantissa, exponent};
}

// The fewest significant digits that read back as VALUE. printf rounds
// correctly, so at each length it gives the nearest candidate; only a power
// of two, whose gap below is half the gap above, can have a candidate of that
// length that reads back while the nearest, below it, does not: the one
// above is tried too.
template <typename F>
Digits fewestDigits(F value) {
  char text[64];
  for (int precision = 0;; ++precision) {
    std::snprintf(text, sizeof text, "%.*e", precision, static_cast<double>(value));
    char* e = std::strchr(text, 'e');
    std::string mantissa(text, e);
    int exponent = std::atoi(e + 1);
    if (readBack<F>(text, nullptr) == value ||
        precision + 1 >= std::numeric_limits<F>::max_digits10)
      return digitsOf(mantissa, exponent);
    std::string up = mantissa;
    size_t at = up.size();
    while (at-- > 0 && (up[at] == '9' || up[at] == '.'))
      if (up[at] == '9') up[at] = '0';
    if (at == std::string::npos) continue;  // 9.99... rounds up to a shorter number
    ++up[at];
    std::snprintf(text, sizeof text, "%se%d", up.c_str(), exponent);
    if (readBack<F>(text, nullptr) == value) return digitsOf(up, exponent);
  }
}

template <typename F>
std::string shortest(F value) {
  if (!std::isfinite(value)) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
  }
  std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0) return sign + "0";
  auto [digits, exponent] = fewestDigits(std::fabs(value));
  int count = static_cast<int>(digits.size());

  // Fixed: the digits with the point moved. A whole number is written whole:
  // its own digits are no longer than the shortest digits padded with zeros,
  // and nearer (33573968, not 33573970).
  std::string fixed;
  if (exponent >= count - 1) {
    char whole[400];
    std::snprintf(whole, sizeof whole, "%.0f", std::fabs(static_cast<double>(value)));
    fixed = whole;
  } else if (exponent >= 0) {
    fixed = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
  } else {
    fixed = "0." + std::string(-exponent - 1, '0') + digits;
  }

  // Exponent: as printf writes it, with at least two digits after the sign.
  char power[16];
  std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  std::string scientific = digits.substr(0, 1) + (count > 1 ? "." + digits.substr(1) : "") + power;

  return sign + (scientific.size() < fixed.size() ? scientific : fixed);
}

}  // namespace

std::string shortestText(float value) {
  return shortest(value);
}
std::string shortestText(double value) {
  return shortest(value);
}

std::optional<float> readFloat(std::string_view text) {
  // strtof also skips leading blanks, takes a plus sign and reads
  // hexadecimal: from_chars does none of these.
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])) || text[0] == '+' ||
      text.find_first_of("xX") != std::string_view::npos)
    return {};
  std::string copy(text);
  char* end = nullptr;
  errno = 0;
  float value = std::strtof(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return {};
  // Out of range: too large, or so small it reads as zero. A subnormal is a
  // value (strtof flags it as inexact, from_chars does not).
  if (errno == ERANGE && (value == 0 || std::isinf(value))) return {};
  return value;
}

}  // namespace c_library

#if defined(__cpp_lib_to_chars)

namespace {

template <typename F>
std::string shortestStd(F value) {
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : "?";
}

}  // namespace

std::string shortestText(float value) {
  return shortestStd(value);
}
std::string shortestText(double value) {
  return shortestStd(value);
}

std::optional<float> readFloat(std::string_view text) {
  float value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

#else

std::string shortestText(float value) {
  return c_library::shortestText(value);
}
std::string shortestText(double value) {
  return c_library::shortestText(value);
}
std::optional<float> readFloat(std::string_view text) {
  return c_library::readFloat(text);
}

#endif

}  // namespace brz
