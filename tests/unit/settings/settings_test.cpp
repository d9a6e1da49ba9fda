#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/settings_folder.h"

namespace settings {
namespace {

namespace fs = std::filesystem;

const SettingsContext kContext{"/opt/flurrix/", 1234567890};

// What "-I" writes on a 1920 x 1080 x 32 desktop with no config.ini.
const char kDefaultFile[] =
    "\xEF\xBB\xBF\r\n"
    "[General]\r\nLanguage = en\r\nUpdate Range = 2\r\nUpdate Date = 1234567890\r\n"
    "Path = /opt/flurrix/\r\n; \r\n"
    "[Window]\r\nWidth = 530\r\nHeight = 330\r\nX = 200\r\nY = 200\r\n; \r\n"
    "[Screensaver]\r\nvideow = 1920\r\nvideoh = 1080\r\nvideod = 32\r\nfps = 60\r\n"
    "flakes = 500\r\npictime = 20\r\nexiton = 0\r\nexitontimer = 30\r\nexitonsleep = 30\r\n"
    "background = 0\r\ndesktopblur = 0\r\nwallpaperblur = 0\r\nblankr = 0\r\nblankg = 0\r\n"
    "blankb = 0\r\nperspreview = 0\r\nforeground = 0\r\n"
    "foregroundimage = /opt/flurrix/data/foreground/happynewyear.bmp\r\n"
    "foregroundimagex = 150\r\nforegroundimagey = 50\r\nforegroundtxt = 0\r\n"
    "foregroundtext = \r\nforegroundtextx = 290\r\nforegroundtexty = 10\r\nflaketype = 7\r\n"
    "customflaketype = 0\r\ncustomflakeimage = /opt/flurrix/data/snowflakes/myflake2.png\r\n"
    "flakesize = 3\r\nflakerotate = 0\r\nwind = 3\r\nspeed = 3\r\nmusic = 0\r\nmusicmode = 0\r\n"
    "musicfile = /opt/flurrix/data/music/forest.mp3\r\nmusicfolder = /opt/flurrix/data/music/\r\n"
    "musicvol = 2\r\naclock = 1\r\naclocksize = 3\r\naclockx = -300\r\naclocky = -50\r\n"
    "dclock = 1\r\ndclockx = -260\r\ndclocky = -70\r\ntimefrm = 1\r\ncalendar = 0\r\n"
    "calendarx = -280\r\ncalendary = 10\r\ncalendarm = 8\r\ncalendarsize = 2\r\n"
    "calendarfont = 1\r\ncalendarbg = 0\r\ncalendarfirst = 1\r\n; \r\n";

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("settings-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    s_.configFolder = folder_.string() + "/";
    s_.configFile = s_.configFolder + "config.ini";
    s_.desktopWidth = 1920;
    s_.desktopHeight = 1080;
    s_.desktopDepth = 32;
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteConfig(const std::string& bytes) {
    std::ofstream(s_.configFile, std::ios::binary) << bytes;
  }
  std::string ReadConfig() const {
    std::ifstream in(s_.configFile, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  fs::path folder_;
  Settings s_;
};

TEST_F(SettingsFile, NoFileGivesDefaultsAndWritesNothing) {
  LoadSettings(s_, kContext);
  EXPECT_FALSE(fs::exists(s_.configFile));
  EXPECT_EQ(s_.musicmode, 0);
  EXPECT_EQ(s_.aclocksize, 3);
  EXPECT_EQ(s_.calendarsize, 2);
  EXPECT_EQ(s_.aclockx, -300);
  EXPECT_EQ(s_.videow, 1920);
  EXPECT_EQ(s_.Path, "/opt/flurrix/");
}

TEST_F(SettingsFile, SavedDefaultsHaveTheExactBytes) {
  LoadSettings(s_, kContext);
  ASSERT_TRUE(SaveSettings(s_));
  EXPECT_EQ(ReadConfig(), kDefaultFile);
}

TEST_F(SettingsFile, EmptyFileAndGeneralOnlyFileGiveIfMissingValues) {
  for (const std::string content : {"", "\xEF\xBB\xBF\r\n[General]\r\nLanguage = en\r\n"}) {
    WriteConfig(content);
    s_.desktopWidth = 1280;
    s_.desktopHeight = 720;
    s_.desktopDepth = 24;
    LoadSettings(s_, kContext);
    EXPECT_EQ(s_.musicmode, 1);
    EXPECT_EQ(s_.aclocksize, 20);
    EXPECT_EQ(s_.aclockx, -200);
    EXPECT_EQ(s_.aclocky, -52);
    EXPECT_EQ(s_.dclockx, -150);
    EXPECT_EQ(s_.dclocky, -60);
    EXPECT_EQ(s_.calendarx, -210);
    EXPECT_EQ(s_.calendarsize, 13);
    EXPECT_EQ(s_.videow, 1280);
    EXPECT_EQ(s_.videoh, 720);
    EXPECT_EQ(s_.videod, 24);
    EXPECT_EQ(s_.flakes, 500);
    EXPECT_EQ(s_.UpdateDate, 1234567890);
  }
}

TEST_F(SettingsFile, SaveAndLoadRoundTripEveryValue) {
  LoadSettings(s_, kContext);
  s_.Path = "/data/snow/";
  s_.flakes = 2000;
  s_.exiton = 4;
  s_.foregroundtext = "Caf\xC3\xA9 = open; come in";
  s_.musicfolder = "/home/me/Music/";
  s_.aclockx = -1;
  s_.calendarfirst = 2;
  ASSERT_TRUE(SaveSettings(s_));

  Settings loaded;
  loaded.configFile = s_.configFile;
  LoadSettings(loaded, {"/elsewhere/", 1});
  EXPECT_EQ(loaded.Path, "/data/snow/");
  EXPECT_EQ(loaded.flakes, 2000);
  EXPECT_EQ(loaded.exiton, 4);
  EXPECT_EQ(loaded.foregroundtext, "Caf\xC3\xA9 = open; come in");
  EXPECT_EQ(loaded.musicfolder, "/home/me/Music/");
  EXPECT_EQ(loaded.aclockx, -1);
  EXPECT_EQ(loaded.calendarfirst, 2);
  EXPECT_EQ(loaded.UpdateDate, 1234567890);
  EXPECT_EQ(loaded.videow, 1920);
  // Saving what was loaded gives the same file again.
  loaded.configFile = s_.configFile;
  const std::string first = ReadConfig();
  ASSERT_TRUE(SaveSettings(loaded));
  EXPECT_EQ(ReadConfig(), first);
}

TEST_F(SettingsFile, EmptyPathMeansTheProgramFolderAndDataPathsFollowIt) {
  WriteConfig("[General]\r\nPath = \r\n");
  LoadSettings(s_, kContext);
  EXPECT_EQ(s_.Path, "/opt/flurrix/");
  EXPECT_EQ(s_.foregroundimage, "/opt/flurrix/data/foreground/happynewyear.bmp");
  EXPECT_EQ(s_.customflakeimage, "/opt/flurrix/data/snowflakes/myflake2.png");
  EXPECT_EQ(s_.musicfile, "/opt/flurrix/data/music/forest.mp3");
  EXPECT_EQ(s_.musicfolder, "/opt/flurrix/data/music/");

  // A folder written without its separator still joins cleanly with names.
  WriteConfig("[General]\r\nPath = /srv/snow\r\n");
  LoadSettings(s_, kContext);
  EXPECT_EQ(s_.Path, "/srv/snow/");
  EXPECT_EQ(s_.musicfolder, "/srv/snow/data/music/");
}

TEST_F(SettingsFile, HandEditedValuesAreReadWithoutRangeChecks) {
  WriteConfig(
      "[screensaver]\nFLAKES=100\nforegroundtext =   Hello snow  \nflaketype = 12x\n"
      "pictime = nonsense\n");
  LoadSettings(s_, kContext);
  EXPECT_EQ(s_.flakes, 100);
  EXPECT_EQ(s_.foregroundtext, "Hello snow");
  EXPECT_EQ(s_.flaketype, 12);
  EXPECT_EQ(s_.pictime, 0);
}

TEST(SettingsFolder, CreatesMakerAndProductFolders) {
  const fs::path base = fs::temp_directory_path() / "settings-folder-test";
  fs::remove_all(base);
  fs::create_directories(base);
  setenv("XDG_CONFIG_HOME", base.c_str(), 1);
  const std::string folder =
      SettingsFolder(FolderKind::kAppData, "Corvantic", "Flurrix Screensaver");
  EXPECT_EQ(folder, base.string() + "/Corvantic/Flurrix Screensaver/");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(SettingsFolder(FolderKind::kAppData, "", "Other"), base.string() + "/Other/");
  fs::remove_all(base);
}

}  // namespace
}  // namespace settings
