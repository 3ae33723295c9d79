// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/counters.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include "platform/float_text.h"

namespace brz {
namespace {

// Written as plain text and read back never failing; integers round half to
// even.
TEST(Counters, WrittenAsPlainTextAndReadAsNumbers) {
  EXPECT_EQ(numberText(-40), "-40");
  EXPECT_EQ(numberText(-0.0), "0");
  EXPECT_EQ(numberText(3877.5), "3877.5");
  EXPECT_EQ(numberText(-999999999999999.0), "-999999999999999");
  EXPECT_EQ(numberText(1e15), "1e+15");  // past 15 digits, as the general way writes it
  EXPECT_EQ(toNumber("-400"), -400);
  EXPECT_EQ(toNumber(" 12 "), 12);
  // Text that is no number reads as its numeric prefix, or 0: never a failure.
  EXPECT_EQ(toNumber(""), 0);
  EXPECT_EQ(toNumber("12abc"), 12);
  EXPECT_EQ(toNumber("nan"), 0);
  EXPECT_EQ(toNumber("1e999"), 0);
  EXPECT_EQ(toInteger("2.5"), 2);
  EXPECT_EQ(toInteger("3.5"), 4);
  EXPECT_EQ(toInteger("-2.5"), -2);
}

// A long Basmi round drains the score far below -32768: a 16-bit comparison
// would overflow there, so scores compare exactly.
TEST(Counters, HighScoreTestIsStrictAndExactOutsideSixteenBits) {
  EXPECT_FALSE(isHigher("1000", "1000"));
  EXPECT_TRUE(isHigher("40000", "32767"));
  EXPECT_FALSE(isHigher("-40000", "1000"));
}

// Where the standard library cannot write or read floating point (the
// WebAssembly build's), the C library's versions stand in, and must give the
// same text. Powers of two are the hard case: the gap below them is half the
// gap above. Whole numbers are written whole: 33573968, not 33573970.
TEST(FloatText, TheCLibraryVersionsWriteAndReadAsTheStandardLibrary) {
  auto same = [](auto value) {
    EXPECT_EQ(c_library::shortestText(value), shortestText(value)) << std::hexfloat << value;
  };
  for (int exponent = -149; exponent < 128; ++exponent) {
    float power = std::ldexp(1.0f, exponent);
    for (float value : {power, std::nextafter(power, 0.0f), std::nextafter(power, 1e38f)})
      same(value);
  }
  for (int exponent = -1074; exponent < 1024; ++exponent) same(std::ldexp(1.0, exponent));
  std::mt19937_64 random(27);
  for (int i = 0; i < 3000; ++i) {
    std::uint64_t bits = random();
    same(std::bit_cast<double>(bits));
    same(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
  }
  for (float value : {0.1f, 3877.5f, 1e-4f, 33573968.0f, -1e20f, 0.0f}) same(value);

  for (const char* text :
       {"3877.5", "-40", "1e5", "1e40", "0.0000000000000000000000000000000000000000000001", "1e-40",
        " 1", "+1", "0x10", "1.5x", "", "-"})
    EXPECT_EQ(c_library::readFloat(text), readFloat(text)) << text;
}

}  // namespace
}  // namespace brz
