// Writing on a full or read-only disk: config.ini (the "/i" switch and the dialog's OK), the
// wallpaper picture of a run, a screenshot and the custom picture library. The old config.ini
// stays whole and nothing half-written stays behind; only the dialog's OK tells the user.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../images/picture_files.h"
#include "app/background_pictures.h"
#include "dialog/config_layout.h"
#include "dialog/config_model.h"
#include "images/codecs.h"
#include "images/custom_library.h"
#include "scoped_hook.h"
#include "settings/settings.h"
#include "text/message_box.h"

namespace app {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct NoRequesters : dialog::DialogServices {
  std::vector<std::string> OpenFiles(const std::string&, const std::string&, const std::string&,
                                     bool) override {
    return {};
  }
  std::string OpenFolder(const std::string&, const std::string&) override { return ""; }
  void CheckForUpdates() override {}
};

struct RecordedList : images::LibraryList {
  std::vector<std::string> names;
  void Append(const std::string& name) override { names.push_back(name); }
  void RemoveAt(int32_t position) override { names.erase(names.begin() + position); }
  void ShowPicture(int32_t) override {}
};

// A 64 KiB file system of its own for each test, filled or made read-only on demand. That needs
// root; without it the folder is an ordinary one, made read-only by its permissions, and a full
// disk cannot be had.
class SmallDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = images::testing::TempFolder(
        std::string("disk-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    if (root_ && mount("tmpfs", folder_.c_str(), "tmpfs", 0, kOptions) != 0)
      GTEST_SKIP() << "cannot mount a small file system here";
    mounted_ = root_;
    s_.desktopWidth = 1920;
    s_.desktopHeight = 1080;
    s_.desktopDepth = 24;
    settings::SetDefaults(s_, {folder_, 0});
    s_.configFolder = folder_;
    s_.configFile = folder_ + "config.ini";
  }
  void TearDown() override {
    ReadOnly(false);
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    fs::remove_all(folder_);
  }

  // Fills the disk with one file until `spare` bytes are left. False when that cannot be done.
  bool Fill(size_t spare) {
    if (!mounted_) return false;
    const std::string filler = folder_ + kFiller;
    std::FILE* file = std::fopen(filler.c_str(), "wb");
    if (!file) return false;
    const std::vector<char> block(4096, 'x');
    while (std::fwrite(block.data(), 1, block.size(), file) == block.size() &&
           std::fflush(file) == 0) {
    }
    std::fclose(file);
    const auto size = static_cast<size_t>(fs::file_size(filler));
    return size > spare && truncate(filler.c_str(), static_cast<off_t>(size - spare)) == 0;
  }
  void Empty() { fs::remove(folder_ + kFiller); }
  void ReadOnly(bool on) {
    if (mounted_) {
      mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | (on ? MS_RDONLY : 0), kOptions);
    } else {
      chmod(folder_.c_str(), on ? 0555 : 0755);
    }
  }
  // Every file on the disk but the filler, by its path inside the disk.
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
      const std::string name = fs::relative(entry.path(), folder_).string();
      if (entry.is_regular_file() && name != kFiller) files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  static constexpr const char* kOptions = "size=64k";
  static constexpr const char* kFiller = "filler";
  const bool root_ = geteuid() == 0;
  bool mounted_ = false;
  std::string folder_;
  settings::Settings s_;
  std::vector<std::string> boxes_;
  flurrixtest::ScopedHook<text::MessageBoxHandler> boxHook_{
      text::SetMessageBoxHandler, [this](const std::string&, const std::string& text, int32_t) {
        boxes_.push_back(text);
        return platform::kAnswerOk;
      }};
};

TEST_F(SmallDisk, ConfigIniStaysWholeWhenItCannotBeSaved) {
  s_.flakes = 123;
  ASSERT_TRUE(settings::SaveSettings(s_));
  const std::string saved = ReadAll(s_.configFile);
  s_.flakes = 456;
  NoRequesters services;
  // "/i" saves silently; the dialog's OK says why in the system's words and stays open.
  auto saveBothWays = [&](int reason) {
    EXPECT_FALSE(settings::SaveSettings(s_));
    EXPECT_TRUE(boxes_.empty());
    dialog::ConfigModel dialog(s_, {{1920, 1080, 24}}, services, "Flurrix Screensaver 3.3");
    dialog.Fill();
    dialog.Press(dialog::kOkButton);
    EXPECT_FALSE(dialog.Closed());
    EXPECT_FALSE(dialog.Saved());
    EXPECT_EQ(boxes_, std::vector<std::string>{s_.configFile + "\n\n" + std::strerror(reason)});
    boxes_.clear();
    EXPECT_EQ(ReadAll(s_.configFile), saved);
    EXPECT_EQ(Files(), std::vector<std::string>{"config.ini"});
  };

  ReadOnly(true);
  saveBothWays(mounted_ ? EROFS : EACCES);
  ReadOnly(false);
  if (!Fill(0)) {
    std::printf("a full disk needs root: only the read-only disk was tried\n");
    return;
  }
  saveBothWays(ENOSPC);
  Empty();
  EXPECT_TRUE(settings::SaveSettings(s_));  // the disk was all that stopped it
  EXPECT_NE(ReadAll(s_.configFile).find("flakes = 456"), std::string::npos);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(SmallDisk, PicturesThatCannotBeWrittenLeaveNothingBehind) {
  const std::string sources = images::testing::TempFolder("disk-sources");
  const std::string wallpaper = sources + "wall.bmp", photo = sources + "photo.bmp";
  ASSERT_TRUE(images::EncodeImageFile(images::testing::MakeImage(16, 12, 24, 0x336699), wallpaper,
                                      images::kTagBmp));
  // Noise, so that even the library's JPEG copy is larger than the space left.
  images::Image noise = images::testing::MakeImage(40, 30, 24);
  uint32_t seed = 1;
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      images::testing::SetPixel(noise, x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    }
  }
  ASSERT_TRUE(images::EncodeImageFile(noise, photo, images::kTagBmp));
  s_.background = 2;
  s_.videow = 60;  // 7 KB pictures: more than the space left, less than the whole disk
  s_.videoh = 40;
  const images::Image frame = images::testing::MakeImage(60, 40, 24, 0x102030);
  images::CustomImageLibrary library(folder_, 24);
  RecordedList list;
  auto writeAll = [&] {
    EXPECT_TRUE(PrepareWallpaperPicture(s_, {wallpaper, 0}));  // the run goes on
    const bool shot = images::EncodeImageFile(frame, folder_ + "scr1000.bmp", images::kTagBmp, 7,
                                              24);  // as F12 saves
    const std::string added = library.AddPicture(photo, list, 80, 60);
    return std::make_pair(shot, added);
  };

  ReadOnly(true);
  EXPECT_EQ(writeAll(), std::make_pair(false, std::string()));
  EXPECT_EQ(Files(), std::vector<std::string>{});
  ReadOnly(false);
  if (Fill(4096)) {
    EXPECT_EQ(writeAll(), std::make_pair(false, std::string()));
    EXPECT_EQ(Files(), std::vector<std::string>{});
    Empty();
  } else {
    std::printf("a full disk needs root: only the read-only disk was tried\n");
  }
  EXPECT_TRUE(list.names.empty());
  EXPECT_TRUE(boxes_.empty());

  EXPECT_EQ(writeAll(), std::make_pair(true, std::string("photo.jpg")));
  EXPECT_EQ(Files(), (std::vector<std::string>{"imgs/photo.jpg", "scr1000.bmp", "thumbs/photo.jpg",
                                               "wallpaper.bmp"}));
  EXPECT_GT(fs::file_size(folder_ + "imgs/photo.jpg"), 4096u);  // the full disk's spare room
  RemoveBackgroundPicture(s_);
  EXPECT_FALSE(fs::exists(folder_ + "wallpaper.bmp"));
  fs::remove_all(sources);
}

}  // namespace
}  // namespace app
