// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/counters.h"

#include <gtest/gtest.h>

namespace brz {
namespace {

TEST(Counters, WriteWholeNumbersAsPlainText) {
  EXPECT_EQ(numberText(-40), "-40");
  EXPECT_EQ(numberText(-0.0), "0");
  EXPECT_EQ(numberText(3877.5), "3877.5");
  EXPECT_EQ(numberText(-999999999999999.0), "-999999999999999");
  EXPECT_EQ(numberText(1e15), "1e+15");  // past 15 digits, as the general way writes it
}

TEST(Counters, ReadTextAsNumber) {
  EXPECT_EQ(toNumber("-400"), -400);
  EXPECT_EQ(toNumber(" 12 "), 12);
  // Text that is no number reads as its numeric prefix, or 0: never a failure.
  EXPECT_EQ(toNumber(""), 0);
  EXPECT_EQ(toNumber("12abc"), 12);
  EXPECT_EQ(toNumber("nan"), 0);
  EXPECT_EQ(toNumber("1e999"), 0);
}

TEST(Counters, IntegersRoundHalfToEven) {
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

}  // namespace
}  // namespace brz
