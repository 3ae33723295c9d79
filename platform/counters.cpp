// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/counters.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace brz {

// The counters hold short whole numbers nearly always; those are read and
// written without the C library's general number conversions, which were
// most of the cost of a long run of the game. Any other text takes the
// general way, so the values are the same either way.
constexpr size_t kMostQuickDigits = 15;

double toNumber(std::string_view text) {
  std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
  if (!digits.empty() && digits.size() <= kMostQuickDigits) {
    // Fewer than 10^15 fits a long long and converts to double exactly.
    long long whole = 0;
    bool allDigits = true;
    for (char c : digits) {
      if (c < '0' || c > '9') {
        allDigits = false;
        break;
      }
      whole = whole * 10 + (c - '0');
    }
    if (allDigits)
      return text.starts_with('-') ? -static_cast<double>(whole) : static_cast<double>(whole);
  }
  std::string s(text);
  const char* begin = s.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return 0.0;
  return value;
}

std::int64_t toInteger(std::string_view text) {
  double value = std::nearbyint(toNumber(text));  // the default rounding is half to even
  constexpr double kLimit = 9.2e18;
  if (value > kLimit) value = kLimit;
  if (value < -kLimit) value = -kLimit;
  return static_cast<std::int64_t>(value);
}

std::string numberText(double value) {
  if (value == 0) return "0";  // no "-0"
  char buffer[32];
  if (std::trunc(value) == value && std::fabs(value) < 1e15) {
    // Written from the last digit back, in one pass.
    char* end = buffer + sizeof buffer;
    char* begin = end;
    auto magnitude = static_cast<unsigned long long>(std::fabs(value));
    do {
      *--begin = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--begin = '-';
    return std::string(begin, end);
  }
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

bool isHigher(std::string_view score, std::string_view highScore) {
  return toInteger(score) > toInteger(highScore);
}

}  // namespace brz
