#include "app/command_line.h"

#include <gtest/gtest.h>

namespace app {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SwitchesAreNormalised) {
  EXPECT_EQ(CommandLineArgument({" /s  "}, 0), "-S");
  EXPECT_EQ(CommandLineArgument({"/c:1234"}, 0), "-C:1234");
  EXPECT_EQ(CommandLineArgument({"a/b"}, 0), "A-B");
  EXPECT_EQ(CommandLineArgument({"-s"}, 1), "");
}

TEST(CommandLine, ModesByTheFirstTwoCharacters) {
  for (const char* run : {"/s", "-s", "  /S  ", "/Sxyz", "/x", "", "s"}) {
    EXPECT_EQ(SelectMode({run}), Mode::kRun) << run;
  }
  EXPECT_EQ(SelectMode({}), Mode::kRun);
  EXPECT_EQ(SelectMode({"/u"}), Mode::kUninstall);
  EXPECT_EQ(SelectMode({"/p", "1234"}), Mode::kPreview);
  EXPECT_EQ(SelectMode({"/l:5"}), Mode::kPreview);
  EXPECT_EQ(SelectMode({"/c:0"}), Mode::kConfigure);
  EXPECT_EQ(SelectMode({"-C"}), Mode::kConfigure);
  EXPECT_EQ(SelectMode({"/a"}), Mode::kNothing);
  EXPECT_EQ(SelectMode({"/i"}), Mode::kSaveSettings);
  EXPECT_EQ(SelectMode({"/install"}), Mode::kSaveSettings);
}

// "--wayland" anywhere, in any case, asks for the run on Wayland's outputs; as a first argument it
// is an unknown switch, which runs the screensaver as before.
TEST(CommandLine, WaylandByItsLongSwitch) {
  EXPECT_TRUE(WaylandRequested({"--wayland"}));
  EXPECT_TRUE(WaylandRequested({" --Wayland "}));
  EXPECT_TRUE(WaylandRequested({"-root", "--wayland"}));
  EXPECT_EQ(SelectMode({"--wayland"}), Mode::kRun);
  for (const char* other : {"-wayland", "--way", "--waylandx", "/wayland", "/s"}) {
    EXPECT_FALSE(WaylandRequested({other})) << other;
  }
  EXPECT_FALSE(WaylandRequested({}));
}

TEST(CommandLine, WindowHandleFromTheColonFieldOrTheNextArgument) {
  EXPECT_EQ(ParseWindowHandle({"/p:1234"}), 1234);
  EXPECT_EQ(ParseWindowHandle({"/p", "1234"}), 1234);
  EXPECT_EQ(ParseWindowHandle({"/p:$4D2"}), 1234);
  EXPECT_EQ(ParseWindowHandle({"/p:$4d2"}), 1234);
  EXPECT_EQ(ParseWindowHandle({"/p", "%10011010010"}), 1234);
  EXPECT_EQ(ParseWindowHandle({"/c:0"}), 0);
  EXPECT_EQ(ParseWindowHandle({"/c"}), 0);
  EXPECT_EQ(ParseWindowHandle({"/c:0", " 77 "}), 77);  // a zero field falls back to argument 1
  EXPECT_EQ(ParseWindowHandle({"/p:-5"}), -5);
  EXPECT_EQ(ParseWindowHandle({"/p:12:34"}), 12);
  EXPECT_EQ(HandleField({"/p:12:34"}, 0), "12");
  EXPECT_EQ(HandleField({"/p"}, 0), "");
}

}  // namespace
}  // namespace app
