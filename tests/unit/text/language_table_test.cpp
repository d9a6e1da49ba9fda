#include "text/language_table.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(BuiltInTexts, LookUpAcrossGroupsInAnyCase) {
  LanguageTable table;
  ASSERT_TRUE(table.Load());
  EXPECT_EQ(table.Lookup("General", "Display Mode"), "Display Mode:");
  EXPECT_EQ(table.Lookup("general", "display mode"), "Display Mode:");
  EXPECT_EQ(table.Lookup("GENERAL", "DISPLAY MODE"), "Display Mode:");
  // "z" is the last letter the case folding must reach.
  EXPECT_EQ(table.Lookup("General", "CLOCK SIZE"), "Clock Size:");
  // Consecutive look-ups in different groups replace the cached group.
  EXPECT_EQ(table.Lookup("Msg", "3D is not located"),
            "flurrix.dll coudn't be found in the screen-saver's folder. Please, re-install "
            "Flurrix Screensaver or contact the vendor's support.");
  EXPECT_EQ(table.Lookup("Uninstall", "Uninstall Text"), "Full Uninstall - Visit Uninstall Center");
  EXPECT_EQ(table.Lookup("General", "Timer event"), "Timer (min.)");
  EXPECT_EQ(table.Lookup("Dialog", "Add Image"), "Add Image");
  EXPECT_EQ(table.Lookup("General", "Add Image"), "Add Image");
}

TEST(BuiltInTexts, KeysSharingFirstLettersAreAllFound) {
  LanguageTable table;
  table.Load();
  EXPECT_EQ(table.Lookup("General", "Display Mode"), "Display Mode:");
  EXPECT_EQ(table.Lookup("General", "Display Settings"), "Display Settings");
  EXPECT_EQ(table.Lookup("General", "Desktop"), "Desktop");
  EXPECT_EQ(table.Lookup("General", "Desktop Resolution"), "Desktop Resolution");
  EXPECT_EQ(table.Lookup("General", "Display Custom Text"), "Display Custom Text");
  EXPECT_EQ(table.Lookup("General", "Sunday"), "Sunday");
  EXPECT_EQ(table.Lookup("General", "Small"), "Small");
  EXPECT_EQ(table.Lookup("General", "X"), "X:");
  EXPECT_EQ(table.Lookup("General", "Y"), "Y:");
}

TEST(BuiltInTexts, EveryEntryOfTheBlockIsFound) {
  LanguageTable table;
  table.Load();
  std::string group;
  int found = 0;
  for (const LanguagePair& pair : BuiltInLanguageBlock()) {
    if (pair.name == "_GROUP_") {
      group = pair.text;
    } else if (pair.name != "_END_") {
      EXPECT_EQ(table.Lookup(group, pair.name), pair.text) << group << " / " << pair.name;
      ++found;
    }
  }
  EXPECT_EQ(found, 83 + 17 + 8 + 3);
}

TEST(BuiltInTexts, MissingGroupsAndKeysGiveTheErrorText) {
  LanguageTable table;
  table.Load();
  EXPECT_EQ(table.Lookup("Msg", "Display Mode"), "%NO_STRING_ERROR%");  // only in "General"
  EXPECT_EQ(table.Lookup("General", ""), "%NO_STRING_ERROR%");
  EXPECT_EQ(table.Lookup("Nowhere", "Error"), "%NO_STRING_ERROR%");
  EXPECT_EQ(table.Lookup("General", "Displa"), "%NO_STRING_ERROR%");
  EXPECT_EQ(table.Lookup("General", "Zzz"), "%NO_STRING_ERROR%");
  EXPECT_EQ(table.Lookup("General", "\xC3\xA9t\xC3\xA9"), "%NO_STRING_ERROR%");
  // The failed group look-up leaves no stale cache behind.
  EXPECT_EQ(table.Lookup("Msg", "Error"), "Error");
}

TEST(LanguageLoader, MarkersInAnyCaseEmptyGroupsAndTheEndMarker) {
  LanguageTable table;
  table.Load({{"_group_", "First"},
              {"beta", "B"},
              {"Alpha", "A"},
              {"alpine", "AL"},
              {"_Group_", "Empty"},
              {"_GROUP_", "Last"},
              {"key", "K"},
              {"_END_", ""},
              {"after", "never read"}});
  EXPECT_EQ(table.Lookup("first", "ALPHA"), "A");
  EXPECT_EQ(table.Lookup("first", "alpine"), "AL");
  EXPECT_EQ(table.Lookup("first", "beta"), "B");
  EXPECT_EQ(table.Lookup("Empty", "beta"), "%NO_STRING_ERROR%");
  EXPECT_EQ(table.Lookup("Last", "key"), "K");
  EXPECT_EQ(table.Lookup("Last", "after"), "%NO_STRING_ERROR%");
}

TEST(LanguageLoader, GlobalTableIsTheBuiltInOne) {
  EXPECT_EQ(Lookup("Msg", "Internet connection problems"), "Internet connection problems!");
}

}  // namespace
}  // namespace text
