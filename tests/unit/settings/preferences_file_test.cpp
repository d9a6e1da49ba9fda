#include "settings/preferences_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace settings {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("prefs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  fs::path folder_;
};

TEST(PreferencesParse, LineEndsCommentsGroupsAndEntries) {
  PreferencesFile file;
  file.Parse(
      "top = 1\r[One]\n  ; a comment\r\n\r\n\tKey A=  value ; not a comment  \r\n"
      "bare line\n[ Two ] trailing text\nx=2");
  EXPECT_EQ(file.ReadInteger("top", -1), 1);  // entries before the first group
  file.SelectGroup("one");
  EXPECT_EQ(file.ReadText("key a", "?"), "value ; not a comment");
  EXPECT_EQ(file.ReadText("bare line", "?"), "");  // a line without "=" has an empty value
  EXPECT_EQ(file.ReadText("top", "?"), "?");       // other groups are not searched
  file.SelectGroup(" Two ");                       // blanks inside the brackets belong to the name
  EXPECT_EQ(file.ReadInteger("X", -1), 2);
  file.SelectGroup("Two");
  EXPECT_EQ(file.ReadInteger("X", -1), -1);
}

TEST(PreferencesParse, CaseInsensitiveMatchingAndFirstOccurrenceWins) {
  PreferencesFile file;
  file.Parse("[general]\nFLAKES=100\nflakes = 200\n[GENERAL]\nother = 3\n");
  file.SelectGroup("General");
  EXPECT_EQ(file.ReadInteger("flakes", 0), 100);
  EXPECT_EQ(file.ReadInteger("other", -7), -7);  // only the first group of a name is searched
}

TEST(PreferencesParse, EmptyValueIsZeroButMissingKeyIsTheFallback) {
  PreferencesFile file;
  file.Parse("[S]\nflakes =\ncount = 12abc\nneg = -40\nspaced =   +7 \nword = abc\n");
  file.SelectGroup("S");
  EXPECT_EQ(file.ReadInteger("flakes", 500), 0);
  EXPECT_EQ(file.ReadInteger("missing", 500), 500);
  EXPECT_EQ(file.ReadInteger("count", 0), 12);
  EXPECT_EQ(file.ReadInteger("neg", 0), -40);
  EXPECT_EQ(file.ReadInteger("spaced", 0), 7);
  EXPECT_EQ(file.ReadInteger("word", 9), 0);
  file.SelectGroup("Nowhere");
  EXPECT_EQ(file.ReadInteger("flakes", 500), 500);
}

TEST(PreferencesParse, Latin1WithoutByteOrderMarkAndUtf8WithIt) {
  PreferencesFile latin;
  latin.Parse("[S]\ntext = caf\xE9\n");
  latin.SelectGroup("S");
  EXPECT_EQ(latin.ReadText("text", ""), "caf\xC3\xA9");

  PreferencesFile utf8;
  utf8.Parse("\xEF\xBB\xBF[S]\ntext = caf\xC3\xA9\n");
  utf8.SelectGroup("S");
  EXPECT_EQ(utf8.ReadText("text", ""), "caf\xC3\xA9");
}

TEST(PreferencesParse, TextValuesLoseOuterBlanksAndTabs) {
  PreferencesFile file;
  file.Parse("[S]\nforegroundtext =  \t Happy New Year \t \n");
  file.SelectGroup("S");
  EXPECT_EQ(file.ReadText("foregroundtext", ""), "Happy New Year");
}

TEST_F(TempFolder, WritesTheExactBytesAndReadsThemBack) {
  const std::string path = Path("config.ini");
  {
    PreferencesFile file;
    ASSERT_TRUE(file.CreateForWriting(path));
    file.SelectGroup("General");
    file.WriteText("Path", "C:\\Program Files\\");
    file.WriteInteger("X", -300);
    file.WriteComment("");
    file.SelectGroup("Second");
    file.WriteInteger("n", 5);
    file.SelectGroup("General");
    file.WriteInteger("x", 7);  // replaces the entry of the same key, any case
    file.WriteText("late", "v");
    ASSERT_TRUE(file.Close());
  }
  EXPECT_EQ(ReadBytes(path),
            "\xEF\xBB\xBF\r\n[General]\r\nPath = C:\\Program Files\\\r\nX = 7\r\n; \r\n"
            "late = v\r\n[Second]\r\nn = 5\r\n");
  PreferencesFile file;
  ASSERT_TRUE(file.OpenForReading(path));
  file.SelectGroup("GENERAL");
  EXPECT_EQ(file.ReadText("path", ""), "C:\\Program Files\\");
  EXPECT_EQ(file.ReadInteger("x", 0), 7);
}

TEST_F(TempFolder, SaveReplacesTheOldFileOnlyWhenComplete) {
  const std::string path = Path("config.ini");
  std::ofstream(path, std::ios::binary) << "old content";
  {
    PreferencesFile file;
    ASSERT_TRUE(file.CreateForWriting(path));
    file.SelectGroup("G");
    file.WriteInteger("k", 1);
    // Until the document is closed the old file is untouched.
    EXPECT_EQ(ReadBytes(path), "old content");
  }
  EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF\r\n[G]\r\nk = 1\r\n");
  EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(TempFolder, FailedOrUnmodifiedSaveLeavesTheOldFile) {
  const std::string path = Path("config.ini");
  std::ofstream(path, std::ios::binary) << "old content";
  {
    PreferencesFile unchanged;
    ASSERT_TRUE(unchanged.CreateForWriting(path));
  }
  EXPECT_EQ(ReadBytes(path), "old content");

  // The temporary name is taken by a folder, so the new content cannot be written.
  fs::create_directory(path + ".tmp");
  PreferencesFile blocked;
  EXPECT_FALSE(blocked.CreateForWriting(path));
  EXPECT_EQ(ReadBytes(path), "old content");

  PreferencesFile missing;
  EXPECT_FALSE(missing.OpenForReading(Path("absent.ini")));
  EXPECT_FALSE(missing.CreateForWriting(Path("no/such/folder/config.ini")));
}

TEST(Atoi, BehavesLikeTheCLibrary) {
  EXPECT_EQ(Atoi(""), 0);
  EXPECT_EQ(Atoi("  \t\n42"), 42);
  EXPECT_EQ(Atoi("-0012x"), -12);
  EXPECT_EQ(Atoi("+5"), 5);
  EXPECT_EQ(Atoi("- 5"), 0);
  EXPECT_EQ(Atoi("$10"), 0);
  EXPECT_EQ(Atoi("-2147483648"), INT32_MIN);
}

}  // namespace
}  // namespace settings
