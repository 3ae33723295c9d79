// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brz {

// The round's numbers are kept as the texts of text boxes. These are the three
// ways the game reads them back and the one way it writes them.

// The numeric value of a text. Leading and trailing blanks are ignored; text
// that is not a number reads as its longest numeric prefix, and as 0 when it
// has none ("", "abc"), so no text can make a conversion fail.
double toNumber(std::string_view text);

// The whole-number value used by the high-score comparisons: the numeric value
// rounded half to even. It is 64 bits wide, so scores far outside the 16-bit
// range still compare exactly instead of overflowing.
std::int64_t toInteger(std::string_view text);

// The plain decimal text of a number: "29", "-40", "3877.5".
std::string numberText(double value);

// The strict high-score test: true when `score` is greater than `highScore`,
// both read as whole numbers.
bool isHigher(std::string_view score, std::string_view highScore);

}  // namespace brz
