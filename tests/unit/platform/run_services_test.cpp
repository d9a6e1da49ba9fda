// The services around a run and run-time libraries, on Linux.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(PlatformLibrary, OpensALibraryAndFindsItsEntries) {
  Library math = OpenLibrary("libm.so.6");
  ASSERT_NE(math, nullptr);
  auto cosine = reinterpret_cast<double (*)(double)>(FindLibraryEntry(math, "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(FindLibraryEntry(math, "NoSuchEntry"), nullptr);
  CloseLibrary(math);
}

TEST(PlatformLibrary, NothingToLoadGivesNothing) {
  EXPECT_EQ(OpenLibrary("/no such folder/libflurrix.so"), nullptr);
  // dlopen of an empty name would hand back the program itself.
  EXPECT_EQ(OpenLibrary(""), nullptr);
  // A null handle must not search the whole program.
  EXPECT_EQ(FindLibraryEntry(nullptr, "malloc"), nullptr);
  CloseLibrary(nullptr);
}

// QueryWallpaper against a stand-in gsettings first on PATH.
class WallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("wallpaper-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    unsetenv("XDG_CURRENT_DESKTOP");
  }
  void TearDown() override {
    setenv("PATH", savedPath_.c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    fs::remove_all(folder_);
  }
  // A gsettings that prints `uri` and `options` for the two keys, quoted as the real one does.
  void FakeGsettings(const std::string& uri, const std::string& options) {
    const fs::path script = folder_ / "gsettings";
    std::ofstream(script) << "#!/bin/sh\ncase \"$3\" in\n  picture-uri) echo \"'" << uri
                          << "'\";;\n  picture-options) echo \"'" << options << "'\";;\n"
                          << "  *) exit 1;;\nesac\n";
    fs::permissions(script, fs::perms::owner_all);
    setenv("PATH", (folder_.string() + ":/usr/bin:/bin").c_str(), 1);
  }
  // A stand-in `name` on PATH running the shell `body`.
  void FakeTool(const char* name, const std::string& body) {
    const fs::path script = folder_ / name;
    std::ofstream(script) << "#!/bin/sh\n" << body;
    fs::permissions(script, fs::perms::owner_all);
    setenv("PATH", (folder_.string() + ":/usr/bin:/bin").c_str(), 1);
  }
  fs::path folder_;
  std::string savedPath_;
};

TEST_F(WallpaperTest, TiledPictureWithEscapedName) {
  FakeGsettings("file:///home/ann/Winter%20Pics/schn%C3%A9e.jpg", "wallpaper");
  const Wallpaper wallpaper = QueryWallpaper();
  EXPECT_EQ(wallpaper.path,
            "/home/ann/Winter Pics/schn\xC3\xA9"
            "e.jpg");
  EXPECT_EQ(wallpaper.style, 0);
}

TEST_F(WallpaperTest, OtherPlacementsStretch) {
  for (const char* options : {"zoom", "scaled", "stretched", "centered", "spanned"}) {
    FakeGsettings("file:///usr/share/backgrounds/snow.png", options);
    const Wallpaper wallpaper = QueryWallpaper();
    EXPECT_EQ(wallpaper.path, "/usr/share/backgrounds/snow.png") << options;
    EXPECT_EQ(wallpaper.style, 2) << options;
  }
}

TEST_F(WallpaperTest, NoLocalFileMeansNoWallpaper) {
  FakeGsettings("resource:///org/gnome/shell/theme/noise.png", "zoom");
  EXPECT_EQ(QueryWallpaper().path, "");
  FakeGsettings("file:///broken%2", "zoom");
  EXPECT_EQ(QueryWallpaper().path, "/broken%2") << "a cut escape stays as it is";
}

TEST_F(WallpaperTest, WithoutGsettingsNothingIsSet) {
  setenv("PATH", folder_.c_str(), 1);  // an empty folder: no gsettings at all
  const Wallpaper wallpaper = QueryWallpaper();
  EXPECT_EQ(wallpaper.path, "");
  EXPECT_EQ(wallpaper.style, 0);
}

TEST_F(WallpaperTest, CinnamonMateAndXfceSettingsAreReadTooTheSessionsOwnFirst) {
  FakeTool("gsettings",
           "case \"$2 $3\" in\n"
           "  'org.cinnamon.desktop.background picture-uri') echo \"'file:///c/snow.jpg'\";;\n"
           "  'org.cinnamon.desktop.background picture-options') echo \"'wallpaper'\";;\n"
           "  'org.mate.background picture-filename') echo \"'/m/snow.png'\";;\n"
           "  'org.mate.background picture-options') echo \"'stretched'\";;\n"
           "  *) exit 1;;\nesac\n");
  Wallpaper wallpaper = QueryWallpaper();  // no session named: the first desktop that has one
  EXPECT_EQ(wallpaper.path, "/c/snow.jpg");
  EXPECT_EQ(wallpaper.style, 0);
  setenv("XDG_CURRENT_DESKTOP", "MATE", 1);
  wallpaper = QueryWallpaper();
  EXPECT_EQ(wallpaper.path, "/m/snow.png");
  EXPECT_EQ(wallpaper.style, 2);

  const std::string folder = "/backdrop/screen0/monitorVirtual-1/workspace0/";
  for (const char* style : {"2", "5"}) {
    FakeTool("xfconf-query",
             "case \"$3 $4\" in\n"
             "  '-l ') printf '" +
                 folder + "color-style\\n" + folder + "image-style\\n" + folder +
                 "last-image\\n';;\n"
                 "  '-p " +
                 folder +
                 "last-image') echo '/x/snow.bmp';;\n"
                 "  '-p " +
                 folder + "image-style') echo " + style +
                 ";;\n"
                 "  *) exit 1;;\nesac\n");
    setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
    wallpaper = QueryWallpaper();
    EXPECT_EQ(wallpaper.path, "/x/snow.bmp");
    EXPECT_EQ(wallpaper.style, style[0] == '2' ? 0 : 2) << "Xfce's image-style " << style;
  }
}

// Every desktop has a picture of its own: the session's desktop, named as the sessions name
// themselves, is read first; any other session reads GNOME's first.
TEST_F(WallpaperTest, EachSessionReadsItsOwnDesktopsSettingsFirst) {
  const std::string schemas =
      "  'org.gnome.desktop.background picture-uri') echo \"'file:///g/snow.jpg'\";;\n"
      "  'org.cinnamon.desktop.background picture-uri') echo \"'file:///c/snow.jpg'\";;\n"
      "  'org.mate.background picture-filename') echo \"'/m/snow.png'\";;\n";
  FakeTool("gsettings", "case \"$2 $3\" in\n" + schemas + "  *) exit 1;;\nesac\n");
  FakeTool("xfconf-query",
           "case \"$3 $4\" in\n"
           "  '-l ') echo /backdrop/screen0/monitor0/workspace0/last-image;;\n"
           "  '-p /backdrop/screen0/monitor0/workspace0/last-image') echo /x/snow.bmp;;\n"
           "  *) exit 1;;\nesac\n");
  for (const auto& [session, path] :
       std::vector<std::pair<const char*, const char*>>{{"ubuntu:GNOME", "/g/snow.jpg"},
                                                        {"X-Cinnamon", "/c/snow.jpg"},
                                                        {"MATE", "/m/snow.png"},
                                                        {"XFCE", "/x/snow.bmp"},
                                                        {"KDE", "/g/snow.jpg"}}) {
    setenv("XDG_CURRENT_DESKTOP", session, 1);
    EXPECT_EQ(QueryWallpaper().path, path) << session;
  }
  // Without a picture of its own, a session reads the others in turn: GNOME, Cinnamon, MATE, Xfce.
  FakeTool("gsettings", "case \"$2 $3\" in\n" + schemas.substr(schemas.find("  'org.mate")) +
                            "  *) exit 1;;\nesac\n");
  setenv("XDG_CURRENT_DESKTOP", "X-Cinnamon", 1);
  EXPECT_EQ(QueryWallpaper().path, "/m/snow.png");
}

TEST(PlatformSuspend, NotOfferedOnLinuxYet) {
  EXPECT_FALSE(SuspendAllowed());
}

}  // namespace
}  // namespace platform
