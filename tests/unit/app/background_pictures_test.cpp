// The desktop and wallpaper pictures: composing the wallpaper, the files and their clean-up.
#include "app/background_pictures.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "images/codecs.h"
#include "scoped_hook.h"
#include "text/message_box.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// Blue, green, red of the pixel at (x, y) from the top.
uint32_t Bgr(const images::Image& image, int32_t x, int32_t y) {
  const uint8_t* p = image.TopRow(y) + x * (image.depth / 8);
  return p[0] | p[1] << 8 | p[2] << 16;
}

// A picture whose every pixel tells its own position.
images::Image Positions(int32_t width, int32_t height) {
  images::Image image;
  EXPECT_TRUE(images::AllocateImage(image, width, height, 24));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = image.TopRow(y) + 3 * x;
      p[0] = static_cast<uint8_t>(x);
      p[1] = static_cast<uint8_t>(x >> 8);
      p[2] = static_cast<uint8_t>(y);
    }
  }
  return image;
}

TEST(ComposeWallpaper, StyleZeroTilesFromTheTopLeftAndClipsTheLastColumnAndRow) {
  const images::Image wallpaper = Positions(400, 300);
  images::Image screen;
  ASSERT_TRUE(ComposeWallpaper(wallpaper, 0, 1920, 1080, screen));
  EXPECT_EQ(screen.width, 1920);
  EXPECT_EQ(screen.height, 1080);
  EXPECT_EQ(screen.depth, 24);
  EXPECT_EQ(Bgr(screen, 0, 0), Bgr(wallpaper, 0, 0));
  EXPECT_EQ(Bgr(screen, 405, 7), Bgr(wallpaper, 5, 7));
  // The fifth column and the fourth row start at 1600 and 900 and are cut at the edges.
  EXPECT_EQ(Bgr(screen, 1600, 900), Bgr(wallpaper, 0, 0));
  EXPECT_EQ(Bgr(screen, 1919, 1079), Bgr(wallpaper, 319, 179));
}

TEST(ComposeWallpaper, EveryOtherStyleStretchesOverTheWholeScreen) {
  // Left half red, right half blue; stretched, each half fills half of the screen.
  images::Image wallpaper;
  ASSERT_TRUE(images::AllocateImage(wallpaper, 2, 1, 24));
  wallpaper.pixels[2] = 255;
  wallpaper.pixels[3] = 255;
  for (int32_t style : {1, 2, 6, 10, 22}) {
    images::Image screen;
    ASSERT_TRUE(ComposeWallpaper(wallpaper, style, 640, 480, screen)) << style;
    EXPECT_EQ(Bgr(screen, 0, 0), 0xFF0000u) << style;
    EXPECT_EQ(Bgr(screen, 319, 479), 0xFF0000u) << style;
    EXPECT_EQ(Bgr(screen, 320, 0), 0x0000FFu) << style;
    EXPECT_EQ(Bgr(screen, 639, 479), 0x0000FFu) << style;
  }
}

class PictureFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("bg-pictures-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    s_.configFolder = folder_.string() + "/";
    s_.videow = 64;
    s_.videoh = 48;
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path(const char* name) const { return (folder_ / name).string(); }

  fs::path folder_;
  settings::Settings s_;
  std::vector<std::string> boxes_;
  flurrixtest::ScopedHook<text::MessageBoxHandler> boxHook_{
      text::SetMessageBoxHandler, [this](const std::string&, const std::string& text, int32_t) {
        boxes_.push_back(text);
        return platform::kAnswerOk;
      }};
};

TEST_F(PictureFilesTest, AnUnreadableWallpaperIsReportedAndStopsTheRun) {
  std::ofstream(Path("notes.txt")) << "not a picture";
  for (const std::string& path :
       {std::string(), std::string("(None)"), Path("missing.png"), Path("notes.txt")}) {
    EXPECT_FALSE(PrepareWallpaperPicture(s_, {path, 0})) << path;
  }
  ASSERT_EQ(boxes_.size(), 4u);
  EXPECT_EQ(boxes_[0], "Wallpaper not found! Please set a bitmap image as desktop background.");
  EXPECT_FALSE(fs::exists(Path("wallpaper.bmp")));
}

TEST_F(PictureFilesTest, TheWallpaperIsSavedAtTheRunSizeAndBlurredWhenAsked) {
  const images::Image checks = Positions(8, 8);
  ASSERT_TRUE(images::EncodeImageFile(checks, Path("wall.bmp"), images::kTagBmp));
  images::Image plain, blurred;
  ASSERT_TRUE(PrepareWallpaperPicture(s_, {Path("wall.bmp"), 0}));
  ASSERT_TRUE(images::DecodeImageFile(Path("wallpaper.bmp"), plain));
  s_.wallpaperblur = 3;
  ASSERT_TRUE(PrepareWallpaperPicture(s_, {Path("wall.bmp"), 0}));
  ASSERT_TRUE(images::DecodeImageFile(Path("wallpaper.bmp"), blurred));
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(plain.width, 64);
  EXPECT_EQ(plain.height, 48);
  EXPECT_EQ(plain.sourceDepth, 24);
  EXPECT_EQ(Bgr(plain, 13, 10), Bgr(checks, 5, 2));
  EXPECT_NE(Bgr(blurred, 13, 10), Bgr(checks, 5, 2));
}

TEST_F(PictureFilesTest, NoReadableDesktopOrNoPossibleSizeWritesNothing) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");  // as in a session without an X root
  PrepareDesktopPicture(s_);
  if (display) setenv("DISPLAY", saved.c_str(), 1);
  s_.videow = 70000;
  PrepareDesktopPicture(s_);
  EXPECT_FALSE(fs::exists(Path("desktop.bmp")));
}

TEST_F(PictureFilesTest, TheCleanUpDeletesOnlyFilesWithSomethingInThem) {
  std::ofstream(Path("desktop.bmp"));  // empty
  std::ofstream(Path("wallpaper.bmp")) << "BM";
  s_.background = 1;
  RemoveBackgroundPicture(s_);
  EXPECT_TRUE(fs::exists(Path("desktop.bmp")));
  s_.background = 2;
  RemoveBackgroundPicture(s_);
  EXPECT_FALSE(fs::exists(Path("wallpaper.bmp")));
  // Other backgrounds touch neither file.
  std::ofstream(Path("wallpaper.bmp")) << "BM";
  s_.background = 0;
  RemoveBackgroundPicture(s_);
  EXPECT_TRUE(fs::exists(Path("wallpaper.bmp")));
}

// A copy of the program in a process of its own, driven step by step: 'p' prepares the picture
// (blurred, so that it differs from this process's), 'e' ends its run; it answers each step.
class Copy {
 public:
  Copy(settings::Settings s, const platform::Wallpaper& wall, bool endedBySignal) {
    int commands[2], answers[2];
    EXPECT_EQ(pipe(commands), 0);
    EXPECT_EQ(pipe(answers), 0);
    pid_ = fork();
    if (pid_ == 0) {
      if (endedBySignal) platform::EndOnTermination({s.configFolder + "wallpaper.bmp"});
      s.wallpaperblur = 3;
      for (char command = 0; read(commands[0], &command, 1) == 1;) {
        if (command == 'p' && !PrepareWallpaperPicture(s, wall)) command = 'n';
        if (command == 'e') RemoveBackgroundPicture(s);
        (void)!write(answers[1], &command, 1);
        if (command == 'e') _exit(0);
      }
      _exit(1);
    }
    close(commands[0]);
    close(answers[1]);
    commands_ = commands[1];
    answers_ = answers[0];
  }
  ~Copy() {
    close(commands_);
    close(answers_);
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  char Step(char command) {
    char answer = 0;
    EXPECT_EQ(write(commands_, &command, 1), 1);
    EXPECT_EQ(read(answers_, &answer, 1), 1);
    return answer;
  }
  void Terminate() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
  int commands_ = -1, answers_ = -1;
};

// Under a screensaver host one copy runs per monitor, all sharing the picture: another copy's
// end, by its run's end or by the host's SIGTERM, leaves it, and its rewrite of the file does not
// change what a copy is reading meanwhile. The last to end removes it.
TEST_F(PictureFilesTest, CopiesRunningAtOnceShareThePictureAndTheLastRemovesIt) {
  ASSERT_TRUE(images::EncodeImageFile(Positions(8, 8), Path("wall.bmp"), images::kTagBmp));
  const platform::Wallpaper wall{Path("wall.bmp"), 0};
  s_.background = 2;
  Copy signalled(s_, wall, true), ending(s_, wall, false);  // started before this one joins
  ASSERT_EQ(signalled.Step('p'), 'p');
  ASSERT_TRUE(PrepareWallpaperPicture(s_, wall));

  std::ifstream reading(Path("wallpaper.bmp"), std::ios::binary);
  std::vector<char> bytes(fs::file_size(Path("wallpaper.bmp")));
  reading.read(bytes.data(), 100);
  ASSERT_EQ(ending.Step('p'), 'p');  // the other copy writes while this one reads
  reading.read(bytes.data() + 100, static_cast<std::streamsize>(bytes.size() - 100));
  EXPECT_EQ(reading.gcount(), static_cast<std::streamsize>(bytes.size() - 100));
  images::Image read, own;
  ASSERT_TRUE(
      images::DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), read));
  ASSERT_TRUE(ComposeWallpaper(Positions(8, 8), 0, 64, 48, own));
  EXPECT_EQ(read.pixels, own.pixels) << "the file changed while it was read";

  signalled.Terminate();
  EXPECT_TRUE(fs::exists(Path("wallpaper.bmp"))) << "removed by a copy ended with SIGTERM";
  ASSERT_EQ(ending.Step('e'), 'e');
  EXPECT_TRUE(fs::exists(Path("wallpaper.bmp"))) << "removed by a copy whose run ended";
  RemoveBackgroundPicture(s_);
  EXPECT_FALSE(fs::exists(Path("wallpaper.bmp"))) << "left by the last copy";
}

// Copies in a host's windows show each its own screen's desktop: each keeps that picture in a
// file of its own, named by its window, and removes it at its end whatever the others do.
TEST_F(PictureFilesTest, AHostedCopyKeepsItsDesktopPictureToItself) {
  s_.background = 1;
  EXPECT_EQ(BackgroundPictureFile(s_), Path("desktop.bmp"));
  EXPECT_EQ(BackgroundPictureFile(s_, 42), Path("desktop-42.bmp"));
  s_.background = 2;
  EXPECT_EQ(BackgroundPictureFile(s_, 42), Path("wallpaper.bmp")) << "the wallpaper is shared";
  ASSERT_TRUE(images::EncodeImageFile(Positions(8, 8), Path("wall.bmp"), images::kTagBmp));
  Copy other(s_, {Path("wall.bmp"), 0}, false);
  ASSERT_EQ(other.Step('p'), 'p');  // it uses the folder now
  std::ofstream(Path("desktop-42.bmp")) << "BM";
  s_.background = 1;
  RemoveBackgroundPicture(s_, 42);
  EXPECT_FALSE(fs::exists(Path("desktop-42.bmp")));
  ASSERT_EQ(other.Step('e'), 'e');
}

}  // namespace
}  // namespace app
