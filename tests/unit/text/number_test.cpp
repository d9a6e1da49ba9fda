#include "text/number.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(ReadNumber, DecimalHexadecimalAndBinaryForms) {
  EXPECT_EQ(ReadNumber("1234"), 1234);
  EXPECT_EQ(ReadNumber(" \t 1234"), 1234);
  EXPECT_EQ(ReadNumber("$4D2"), 1234);
  EXPECT_EQ(ReadNumber("$4d2"), 1234);
  EXPECT_EQ(ReadNumber("%10011010010"), 1234);
  EXPECT_EQ(ReadNumber("-$10"), -16);
  EXPECT_EQ(ReadNumber("+42"), 42);
  EXPECT_EQ(ReadNumber("-7"), -7);
}

TEST(ReadNumber, StopsAtTheFirstCharacterThatDoesNotFit) {
  EXPECT_EQ(ReadNumber("12ab"), 12);
  EXPECT_EQ(ReadNumber("%1021"), 2);
  EXPECT_EQ(ReadNumber("$1G"), 1);
  EXPECT_EQ(ReadNumber("331\r\n"), 331);
  EXPECT_EQ(ReadNumber("0x10"), 0);
}

TEST(ReadNumber, NoDigitsGiveZero) {
  EXPECT_EQ(ReadNumber(""), 0);
  EXPECT_EQ(ReadNumber("abc"), 0);
  EXPECT_EQ(ReadNumber("$"), 0);
  EXPECT_EQ(ReadNumber("-"), 0);
  EXPECT_EQ(ReadNumber("\n5"), 0);  // only blanks and tabs are skipped
}

TEST(ReadNumber, WrapsToThirtyTwoBits) {
  EXPECT_EQ(ReadNumber("$FFFFFFFF"), -1);
  EXPECT_EQ(ReadNumber("2147483648"), INT32_MIN);
  EXPECT_EQ(ReadNumber("-2147483648"), INT32_MIN);
}

TEST(ReadNumberSaturated, HoldsAtTheThirtyTwoBitLimitsInsteadOfWrapping) {
  EXPECT_EQ(ReadNumberSaturated("4294967306"), INT32_MAX);  // wrapped, 10
  EXPECT_EQ(ReadNumberSaturated("-4294967306"), INT32_MIN);
  EXPECT_EQ(ReadNumberSaturated("2147483648"), INT32_MAX);
  EXPECT_EQ(ReadNumberSaturated("2147483647"), INT32_MAX);
  EXPECT_EQ(ReadNumberSaturated("-2147483648"), INT32_MIN);
  EXPECT_EQ(ReadNumberSaturated("-2147483647"), -2147483647);
  EXPECT_EQ(ReadNumberSaturated("$1FFFFFFFF"), INT32_MAX);
  EXPECT_EQ(ReadNumberSaturated("123456789012345678901234567890"), INT32_MAX);
  EXPECT_EQ(ReadNumberSaturated(" -$10x"), -16);
}

}  // namespace
}  // namespace text
