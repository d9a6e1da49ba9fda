// 3D texts in a font named by a font script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "screen.h"

using namespace enginetest;

namespace {

constexpr int kW = 320, kH = 240;
constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const Rgba kWhite{255, 255, 255};
constexpr int kInk = 127;  // with kWhite: every channel at least 128

class Text3D : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen_.ok()) << "no OpenGL 3.3 context";
    ASSERT_TRUE(std::filesystem::exists(kDejaVu)) << "fonts-dejavu-core is missing";
    folder_ = FreshFolder("flurrix-fonts-");
    std::ofstream(folder_ / "days.fontdef")
        << "# the clock and calendar font\nfont Days\nsource " << kDejaVu << "\n";
    ASSERT_EQ(RTO_Add3DArchive(folder_.string().c_str(), RTO_ARCHIVE_FOLDER), 1);
    ASSERT_GE(RTO_Parse3DScripts(), 1);
    ProgramCamera(0);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  Screen screen_{kW, kH};
  std::filesystem::path folder_;
};

TEST_F(Text3D, DaysPutsWhitePixelsWhereItStands) {
  const int text = RTO_CreateText3D2(-1, "Days", "Days", 2.0f, Rgba32(255, 255, 255, 255));
  ASSERT_NE(text, 0);
  ASSERT_EQ(RTO_IsText3D(text), 1);
  RTO_MoveText3D(text, -4, 0, 0);
  const Frame f = screen_.Render();
  f.Save("text_days");
  // Left end on the baseline at world x = -4: about 47 pixels left of the centre.
  const int anchorX = kW / 2 - static_cast<int>(4 * PixelsPerUnit(kH));
  EXPECT_GT(f.Count(kWhite, kInk, anchorX, kH / 2 - 20, kW / 2 + 20, kH / 2 + 6), 120);
  EXPECT_EQ(f.Count(kWhite, kInk, 0, 0, anchorX - 2, kH), 0) << "ink left of the text's start";
  EXPECT_EQ(f.Count(kWhite, kInk, 0, 0, kW, kH / 2 - 25), 0) << "ink far above the line";
  EXPECT_EQ(f.Count(kWhite, kInk, kW / 2 + 30, 0, kW, kH), 0) << "ink beyond the text's end";
}

TEST_F(Text3D, AlignmentPlacesTheTextAroundItsPosition) {
  const int text = RTO_CreateText3D2(-1, "Days", "Days", 2.0f, Rgba32(255, 255, 255, 255));
  auto inkLeftAndRight = [&] {
    const Frame f = screen_.Render();
    return std::make_pair(f.Count(kWhite, kInk, 0, 0, kW / 2, kH),
                          f.Count(kWhite, kInk, kW / 2, 0, kW, kH));
  };
  auto [left2, right2] = inkLeftAndRight();
  EXPECT_EQ(left2, 0);
  EXPECT_GT(right2, 100);
  ASSERT_EQ(RTO_Text3DAlignment(text, RTO_ALIGN_BASELINE_RIGHT), 1);
  auto [left3, right3] = inkLeftAndRight();
  EXPECT_GT(left3, 100);
  EXPECT_EQ(right3, 0);
  ASSERT_EQ(RTO_Text3DAlignment(text, RTO_ALIGN_BASELINE_CENTRE), 1);
  auto [left1, right1] = inkLeftAndRight();
  EXPECT_GT(left1, 40);
  EXPECT_GT(right1, 40);
  EXPECT_EQ(RTO_Text3DAlignment(text, RTO_ALIGN_BASELINE_RIGHT + 1), 0);
}

TEST_F(Text3D, CaptionColourAndNodeFollowTheCalls) {
  const int text = RTO_CreateText3D2(-1, "31", "days", 4.0f, Rgba32(255, 255, 255, 128));
  ASSERT_NE(text, 0) << "font names compare without regard to case";
  Frame f = screen_.Render();
  EXPECT_EQ(f.Count(kWhite, 120), 0) << "alpha 128 is not full white";
  EXPECT_GT(f.Count(Rgba{120, 120, 120}, 12), 50) << "fully covered pixels at half brightness";

  // On a node: moved and scaled with it.
  const int node = RTO_CreateNode2(-1, -8, 5, 0);
  ASSERT_EQ(RTO_AttachNodeObject(node, RTO_Text3DID(text)), 1);
  RTO_ScaleNode2(node, 0.5f, 0.5f, 0.5f, RTO_ABSOLUTE);
  f = screen_.Render();
  f.Save("text_on_node");
  const int x = kW / 2 - static_cast<int>(8 * PixelsPerUnit(kH));
  const int y = kH / 2 - static_cast<int>(5 * PixelsPerUnit(kH));
  const int ink = f.Count(Rgba{128, 128, 128}, 88, x, y - 20, x + 30, y + 2);
  EXPECT_GT(ink, 40);
  EXPECT_EQ(f.Count(Rgba{128, 128, 128}, 88), ink) << "ink away from the node";

  ASSERT_EQ(RTO_Text3DCaption(text, ""), 1);
  EXPECT_EQ(screen_.Render().Count(Rgba{0, 0, 0}, 0), kW * kH) << "an empty caption shows nothing";
}

TEST_F(Text3D, UnknownFontsMakeNoText) {
  EXPECT_EQ(RTO_CreateText3D2(0, "x", "No Such Font", 1.0f, -1), 0);
  EXPECT_EQ(RTO_IsText3D(0), 0);
  EXPECT_NE(RTO_CreateText3D2(0, "x", "Days", 1.0f, -1), 0);
  EXPECT_EQ(RTO_IsText3D(0), 1);
}

TEST_F(Text3D, FontsAreReadFromEveryRegisteredFolderOnce) {
  const auto second = folder_ / "more";
  std::filesystem::create_directories(second);
  std::ofstream(second / "a.FONTDEF") << "font Clock\r\nsource " << kDejaVu << "\r\n"
                                      << "font Days\nsource missing.ttf\n";
  ASSERT_EQ(RTO_Add3DArchive(second.string().c_str(), RTO_ARCHIVE_FOLDER), 1);
  EXPECT_EQ(RTO_Parse3DScripts(), 2) << "Days stays as first defined";
  EXPECT_NE(RTO_CreateText3D2(-1, "12:00", "Clock", 1.0f, -1), 0);
  EXPECT_NE(RTO_CreateText3D2(-1, "12:00", "Days", 1.0f, -1), 0);
  EXPECT_EQ(RTO_Add3DArchive((folder_ / "absent").string().c_str(), RTO_ARCHIVE_FOLDER), 0);
  EXPECT_EQ(RTO_Add3DArchive(folder_.string().c_str(), RTO_ARCHIVE_FOLDER + 1), 0)
      << "only plain folders";
}

// The font the program names, as the build's data folder ships it.
TEST(ShippedFont, DaysResolvesFromTheDataFolder) {
  const char* build = std::getenv("FLURRIX_BUILD_DIR");
  const std::filesystem::path data = std::filesystem::path(build ? build : ".") / "data";
  if (!std::filesystem::exists(data / "font")) GTEST_SKIP() << "no data/font/ in this build";
  Screen screen(kW, kH);
  ASSERT_TRUE(screen.ok());
  for (const auto& folder : {data, data / "font"}) {
    ASSERT_EQ(RTO_Add3DArchive((folder.string() + "/").c_str(), RTO_ARCHIVE_FOLDER), 1);
  }
  RTO_Parse3DScripts();
  ProgramCamera(0);
  const int clock = RTO_CreateText3D2(1, "00:00:00", "Days", 1.0f, Rgba32(255, 255, 255, 255));
  ASSERT_NE(clock, 0);
  ASSERT_EQ(RTO_Text3DAlignment(1, RTO_ALIGN_BASELINE_LEFT), 1);
  const Frame f = screen.Render();
  f.Save("shipped_days_font");
  EXPECT_GT(f.Count(kWhite, kInk, kW / 2, kH / 2 - 15, kW, kH / 2 + 2), 60);
}

}  // namespace
