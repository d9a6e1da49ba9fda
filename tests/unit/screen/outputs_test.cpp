// The outputs of a Wayland compositor as the run follows them: ready once sized, in the order they
// came, and a change reported once when the ready set or a ready size changes.
#include "screen/outputs.h"

#include <gtest/gtest.h>

namespace screen {
namespace {

std::vector<uint32_t> ReadyNames(const OutputSet& set) {
  std::vector<uint32_t> names;
  for (const Output& o : set.Ready()) names.push_back(o.name);
  return names;
}

TEST(Outputs, ReadyOnceSizedInTheOrderTheyCame) {
  OutputSet set;
  set.Add(7);
  set.Add(3);
  set.Add(7);  // announced twice: still one
  EXPECT_TRUE(set.Ready().empty()) << "no surface is ready before the compositor sizes it";
  EXPECT_FALSE(set.TakeChanged());
  set.Configure(3, 1920, 1080);
  set.Configure(7, 1280, 0);  // a size left to us: not drawable
  EXPECT_EQ(ReadyNames(set), std::vector<uint32_t>{3});
  set.Configure(7, 1280, 1024);
  EXPECT_EQ(ReadyNames(set), (std::vector<uint32_t>{7, 3}));
  EXPECT_EQ(set.Ready()[0].width, 1280);
  EXPECT_EQ(set.Ready()[0].height, 1024);
  EXPECT_TRUE(set.TakeChanged());
  EXPECT_FALSE(set.TakeChanged()) << "reported once";
}

TEST(Outputs, ChangesAreWhatTheRunMustRebuildFor) {
  OutputSet set;
  set.Add(1);
  set.Add(2);
  set.Configure(1, 800, 600);
  set.Configure(2, 640, 480);
  set.TakeChanged();
  set.Configure(2, 640, 480);
  EXPECT_FALSE(set.TakeChanged()) << "the same size again changes nothing";
  set.Configure(2, 1024, 768);
  EXPECT_TRUE(set.TakeChanged()) << "a ready output's new size";
  set.Add(3);
  EXPECT_FALSE(set.TakeChanged()) << "an output without a size yet";
  EXPECT_TRUE(set.Remove(3));
  EXPECT_FALSE(set.TakeChanged()) << "nor its going";
  EXPECT_TRUE(set.Remove(1));
  EXPECT_TRUE(set.TakeChanged());
  EXPECT_FALSE(set.Remove(1)) << "unknown";
  set.Configure(2, 0, 0);  // its surface closed
  EXPECT_TRUE(set.TakeChanged());
  EXPECT_TRUE(set.Ready().empty());
}

}  // namespace
}  // namespace screen
