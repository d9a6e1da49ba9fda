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

}  // namespace
}  // namespace text
