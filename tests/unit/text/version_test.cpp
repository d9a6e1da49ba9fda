#include "text/version.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(Version, ShortVersionRule) {
  EXPECT_EQ(ShortVersion(330), "3.3");
  EXPECT_EQ(ShortVersion(331), "3.3.1");
  EXPECT_EQ(ShortVersion(400), "4.0");
  EXPECT_EQ(ShortVersion(1234), "1.2.34");
  EXPECT_EQ(ShortVersion(5), "5");
  EXPECT_EQ(ShortVersion(10), "1.0");
}

TEST(Version, TitleTextNamesTheGuard) {
  EXPECT_EQ(TitleText(kProductName, kVersionNumber), "Flurrix Screensaver 3.3");
}

}  // namespace
}  // namespace text
