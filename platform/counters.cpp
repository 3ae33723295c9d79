// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/counters.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace brz {

double toNumber(std::string_view text) {
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
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

bool isHigher(std::string_view score, std::string_view highScore) {
  return toInteger(score) > toInteger(highScore);
}

}  // namespace brz
