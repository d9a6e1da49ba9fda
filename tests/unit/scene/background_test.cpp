#include "scene/background.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "fake_engine.h"
#include "scene/engine_api.h"
#include "scoped_hook.h"

namespace scene {
namespace {

namespace fs = std::filesystem;
using testing::FakeEngine;
using testing::InstallFakeEngine;

constexpr int kPicturePlane = 1, kCoverPlane = 2;

std::string TempFolder(const std::string& name) {
  static const std::string run = std::to_string(std::random_device{}());
  const fs::path folder = fs::temp_directory_path() / ("flurrix-scene-" + run) / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string() + "/";
}

void WriteFile(const std::string& path, size_t size) {
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

class BackgroundTest : public ::testing::Test {
 protected:
  // The program's engine table comes back whatever the test does.
  flurrixtest::ScopedTable<EngineApi> engine_{Rto()};
  void SetUp() override {
    fake = &InstallFakeEngine();
    fake->entities[kPicturePlane] = {};
    fake->entities[kCoverPlane] = {};
  }
  // A background from `source` showing `files`, started; those in `loadable` load.
  void StartShow(const std::vector<std::string>& files, std::vector<std::string> loadable,
                 BackgroundPlan::Source source = BackgroundPlan::Source::kPictureFolder) {
    b = BackgroundState{};
    b.source = source;
    b.pictures = files;
    b.pictureTime = 1000;
    fake->loadable.insert(loadable.begin(), loadable.end());
    StartBackground(b, {{kPicturePlane, kCoverPlane}});
  }
  // One frame at `now`; the file the picture material shows afterwards.
  std::string Frame(int64_t now) {
    UpdateBackground(b, now);
    const int texture = fake->materials[0].texture;
    return texture ? fake->textures[texture].file : "";
  }
  unsigned CoverAlpha() { return fake->materials[1].color >> 24; }

  FakeEngine* fake = nullptr;
  BackgroundState b;
};

TEST_F(BackgroundTest, FolderScanTakesNonEmptyPictureFilesOnly) {
  const std::string folder = TempFolder("scan");
  for (const char* name : {"a.JPG", "b.tga", "c.gif", "noext", "d.jpeg", "e.bmp", "f.png"}) {
    WriteFile(folder + name, 10);
  }
  WriteFile(folder + "empty.jpg", 0);
  fs::create_directory(folder + "x.png");
  std::vector<std::string> list = {"kept"};
  ScanPictureFolder(list, folder);
  ScanPictureFolder(list, folder + "missing/");
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0], "kept");
  std::sort(list.begin() + 1, list.end());
  EXPECT_EQ(list[1], folder + "a.JPG");
  EXPECT_EQ(list[2], folder + "d.jpeg");
  EXPECT_EQ(list[3], folder + "e.bmp");
  EXPECT_EQ(list[4], folder + "f.png");
}

TEST_F(BackgroundTest, SetUpFillsTheMaterialsAndTheListByMode) {
  settings::Settings s;
  s.Path = TempFolder("program");
  s.configFolder = TempFolder("config");
  fs::create_directories(s.configFolder + "imgs");
  WriteFile(s.configFolder + "imgs/mine.png", 5);
  s.blankr = 255, s.blankg = 1, s.blankb = 300;
  for (int mode : {1, 3, 4, 6}) {
    s.background = static_cast<int8_t>(mode);
    InstallFakeEngine();
    b = BackgroundState{};
    SetUpBackground(b, PlanBackground(s));
    const std::vector<std::string> expected =
        mode == 1   ? std::vector<std::string>{s.configFolder + "desktop.bmp"}
        : mode == 4 ? std::vector<std::string>{s.configFolder + "imgs/mine.png"}
                    : std::vector<std::string>{};
    EXPECT_EQ(b.pictures, expected) << mode;
  }
  EXPECT_EQ(b.blankColour, 0);
  s.background = 3;
  b = BackgroundState{};
  SetUpBackground(b, PlanBackground(s));
  EXPECT_EQ(b.blankColour, 255 | 1 << 8 | 255 << 16);
  // Green picture texture under material 0, opaque black cover under material 1.
  EXPECT_EQ(fake->materials[0].texture, 1);
  EXPECT_EQ(fake->textures[1].pixels[1], 255);
  EXPECT_EQ(fake->textures[1].pixels[2], 0);
  EXPECT_EQ(fake->materials[1].texture, 6);
  EXPECT_EQ(fake->textures[6].pixels[3], 255);
  EXPECT_EQ(fake->textures[6].pixels[1], 0);
  EXPECT_EQ(CoverAlpha(), 255u);
}

TEST_F(BackgroundTest, ThreePicturesCycleEachPictimeAfterItsFadeIn) {
  StartShow({"1", "2", "3"}, {"1", "2", "3"});
  std::vector<std::string> shown;
  for (int64_t now = 0; now < 20000; now += 10) {
    const std::string file = Frame(now);
    if (shown.empty() || shown.back() != file) shown.push_back(file);
  }
  // Each change: 1000 ms shown plus 255 frames (2550 ms) of fading.
  EXPECT_EQ(shown, (std::vector<std::string>{"1", "2", "3", "1", "2", "3"}));
}

TEST_F(BackgroundTest, FadesTakeTheirFramesAndTheWaitStartsAfterTheFadeIn) {
  StartShow({"1", "2"}, {"1", "2"});
  int64_t now = 0;
  EXPECT_EQ(Frame(now), "1");  // the first picture fades in from black at once
  EXPECT_EQ(b.FadeLevel, 253);
  while (b.FadeLevel > 0) Frame(++now);
  EXPECT_EQ(now, 127);  // 128 frames of brightening
  EXPECT_EQ(CoverAlpha(), 0u);
  Frame(now + 1000);  // not yet: the wait is strictly longer than pictime
  EXPECT_EQ(b.FadeLevel, 0);
  now += 1001;
  int darkening = 0;
  while (Frame(now) == "1") {
    ++darkening;
    ++now;
  }
  EXPECT_EQ(darkening + 1, 128);  // the 128th frame swaps, and already brightens
  EXPECT_EQ(b.FadeLevel, 253);
  int brightening = 0;
  while (b.FadeLevel > 0) {
    Frame(++now);
    ++brightening;
  }
  EXPECT_EQ(brightening, 127);
}

// A frame between two steps shows the fade between them; a frame on the last step shows its own.
TEST_F(BackgroundTest, AFrameBetweenStepsShowsTheFadeOnItsWay) {
  StartShow({"1"}, {"1"});
  b.fadeStep = 20;
  Frame(0);
  Frame(1);
  ShowFade(b, 0.25f);
  EXPECT_EQ(CoverAlpha(), 230u);
  ShowFade(b, 1.0f);
  EXPECT_EQ(CoverAlpha(), 215u);
}

TEST_F(BackgroundTest, OnePictureFadesInOnceAndStays) {
  StartShow({"only"}, {"only"});
  for (int64_t now = 0; now < 10000; now += 10) EXPECT_EQ(Frame(now), "only");
  EXPECT_EQ(b.FadeLevel, 0);
  EXPECT_EQ(fake->Count("LoadTexture"), 1);
}

TEST_F(BackgroundTest, UnreadablePicturesArePassedOver) {
  StartShow({"bad", "1", "worse", "2"}, {"1", "2"});
  std::vector<std::string> shown;
  for (int64_t now = 0; now < 12000; now += 10) {
    const std::string file = Frame(now);
    if (shown.empty() || shown.back() != file) shown.push_back(file);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"1", "2", "1", "2"}));
  // None readable: the cover stays closed and the files are tried again once a picture time,
  // until one can be read.
  InstallFakeEngine();
  StartShow({"bad", "worse"}, {});
  for (int64_t now = 0; now < 15000; now += 10) Frame(now);
  EXPECT_EQ(b.FadeLevel, 255);
  EXPECT_EQ(CoverAlpha(), 255u);
  EXPECT_EQ(fake->Count("LoadTexture"), 2 * 15);  // at 0 ms, then every 1010 ms
  fake->loadable.insert("worse");
  for (int64_t now = 15000; now < 17000; now += 10) Frame(now);
  EXPECT_EQ(Frame(17000), "worse");
  EXPECT_EQ(b.FadeLevel, 0);
}

TEST_F(BackgroundTest, StillAndBlankModesAndModesBeyondFive) {
  using Source = BackgroundPlan::Source;
  StartShow({"desktop.bmp"}, {"desktop.bmp"}, Source::kDesktop);
  EXPECT_EQ(Frame(0), "desktop.bmp");
  EXPECT_TRUE(fake->entities[kCoverPlane].hidden);
  EXPECT_FALSE(fake->entities[kPicturePlane].hidden);
  InstallFakeEngine();
  fake->entities[kPicturePlane] = {};
  StartShow({"missing.bmp"}, {}, Source::kWallpaper);
  EXPECT_TRUE(fake->entities[kPicturePlane].hidden);

  InstallFakeEngine();
  fake->entities[kPicturePlane] = {};
  fake->entities[kCoverPlane] = {};
  StartShow({}, {}, Source::kColour);
  EXPECT_TRUE(fake->entities[kPicturePlane].hidden && fake->entities[kCoverPlane].hidden);

  // A stored mode no version wrote: a slide show without pictures, black.
  settings::Settings s;
  s.background = static_cast<int8_t>(200);
  ASSERT_EQ(PlanBackground(s).source, Source::kPictureFolder);
  ASSERT_EQ(PlanBackground(s).folder, "");
  StartShow({}, {});
  for (int64_t now = 0; now < 5000; now += 10) Frame(now);
  EXPECT_EQ(b.FadeLevel, 255);
  EXPECT_EQ(fake->Count("LoadTexture"), 0);
}

}  // namespace
}  // namespace scene
