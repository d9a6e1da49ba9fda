// The engine leaves out work that cannot change a pixel (mipmaps of a picture shown at its size,
// the clear under a screen-filling picture, texture reads of one-colour textures, depth clears
// where nothing tests depth, drawing again a background that has not changed). The run's default
// frame drawn that way must match the same frame drawn the long way, with every shortcut off, in
// states that need each shortcut and states that must not take it, and right after each change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine.h"
#include "linked_engine.h"
#include "scene/engine_api.h"
#include "scene/local_time.h"
#include "scene/run_context.h"
#include "scene/scene.h"
#include "screen.h"

using namespace enginetest;

namespace {

constexpr int kW = 1920, kH = 1080;  // the size of the shipped pictures: shown at about 1:1

// How far two frames lie apart: the largest difference of a channel, and the pixels that differ.
struct Difference {
  int most = 0;
  int pixels = 0;
};

Difference Compare(const Frame& a, const Frame& b) {
  Difference d;
  for (size_t i = 0; i + 4 <= a.bgra.size() && i + 4 <= b.bgra.size(); i += 4) {
    int most = 0;
    for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs(a.bgra[i + c] - b.bgra[i + c]));
    d.most = std::max(d.most, most);
    d.pixels += most > 0;
  }
  return d;
}

// The second monitor: engine screen 1, drawn at this size into the test's second window.
constexpr int kSecondW = 1280, kSecondH = 1024;

// The frame of the opened screen, then (with `second`) the second monitor's.
std::vector<Frame> RenderScreens(Screen& screen, bool second) {
  std::vector<Frame> frames{screen.Render()};
  if (second && screen.UseSecondWindow(kW, kH)) {
    RTO_RenderScreen(1, kSecondW, kSecondH);
    frames.push_back(screen.Read());
    screen.UseFirstWindow();
  }
  return frames;
}

// Renders the frame the long way, then three times the short way (drawn, kept, copied); the
// short frames' largest difference from the long one. With `second`, each time the second
// monitor's frame as well, in turn with the first. The last short frames are left in
// engine-shots/, and the long ones beside them when they differ.
Difference ShortAgainstLong(Screen& screen, const std::string& name, bool second = false) {
  engine::TheEngine().renderer.SetShortcuts(false);
  const std::vector<Frame> slow = RenderScreens(screen, second);
  engine::TheEngine().renderer.SetShortcuts(true);
  Difference most;
  std::vector<Frame> fast;
  for (int i = 0; i < 3; ++i) {
    fast = RenderScreens(screen, second);
    if (fast.size() != slow.size()) return {255, kW * kH};
    for (size_t k = 0; k < fast.size(); ++k) {
      const Difference d = Compare(fast[k], slow[k]);
      most = {std::max(most.most, d.most), std::max(most.pixels, d.pixels)};
    }
  }
  for (size_t k = 0; k < fast.size(); ++k) {
    const std::string shot = k == 0 ? name : name + "_second";
    fast[k].Save(shot);
    if (most.most > 1) slow[k].Save(shot + "_long_way");
  }
  return most;
}

TEST(EngineShortcuts, DefaultFrameLooksTheSameAsTheLongWay) {
  const char* build = std::getenv("FLURRIX_BUILD_DIR");
  const std::filesystem::path folder = build ? build : ".";
  std::error_code ec;
  if (std::filesystem::is_empty(folder / "data" / "forest", ec) || ec) {
    GTEST_SKIP() << "no shipped pictures in this build";
  }
  Screen screen(kW, kH);
  ASSERT_TRUE(screen.ok());
  flurrixtest::UseLinkedEngine();
  scene::RunContext context;
  context.clock = [] { return int64_t{100000}; };
  context.localTime = [] { return scene::MakeDate(2024, 12, 24, 10, 8, 30); };
  context.random.Seed(7);
  settings::Settings s;
  s.desktopWidth = kW;
  s.desktopHeight = kH;
  s.desktopDepth = 32;
  settings::SetDefaults(s, {(folder / "").string(), 0});
  s.configFolder = (FreshFolder("frame") / "").string();
  const scene::ScenePlan plan = scene::MakeScenePlan(s, context.random, {});
  scene::SceneState run;
  scene::BuildScene(run, plan, context, kW, kH);
  scene::AddMonitorView(run, plan.flakes, context, 1, kSecondW, kSecondH);
  scene::StartBackground(run.background, run.Planes());
  for (int i = 0; i < 300 && run.background.fading; ++i) {
    scene::UpdateBackground(run.background, context.NowMs());
  }
  ASSERT_EQ(run.background.FadeLevel, 0);
  scene::RefreshClocks(run.clocks, context, true);
  for (int i = 0; i < 60; ++i) scene::UpdateSnow(run, context.random);

  // The picture faded in: the cover adds nothing; the analog clock tests depth.
  Difference d = ShortAgainstLong(screen, "default_frame");
  EXPECT_LE(d.most, 1);
  EXPECT_LT(d.pixels, kW * kH / 1000);

  // A second monitor of another size drawn in turn with the first: each keeps its own
  // background, and neither shows the other's.
  d = ShortAgainstLong(screen, "default_frame_two_screens", true);
  EXPECT_LE(d.most, 1);
  EXPECT_LT(d.pixels, kW * kH / 1000);

  // Half faded to black, then to a colour of distinct channels: the cover's one-colour texture.
  run.background.fadeStep = 128;
  scene::FadeOutStep(run.background);
  d = ShortAgainstLong(screen, "default_frame_fading");
  EXPECT_LE(d.most, 1);
  int w = 0, h = 0, pitch = 0;
  auto* cover = static_cast<uint32_t*>(RTO_LockTexture(6, &w, &h, &pitch));
  ASSERT_NE(cover, nullptr);
  std::fill(cover, cover + w * h, 0xFF3070C0u);
  RTO_UnlockTexture(6);
  d = ShortAgainstLong(screen, "default_frame_coloured_cover");
  EXPECT_LE(d.most, 1);

  // The next picture of the slide show.
  std::vector<std::string> pictures;
  scene::ScanPictureFolder(pictures, (folder / "data" / "forest" / "").string());
  ASSERT_GE(pictures.size(), 2u);
  ASSERT_TRUE(scene::LoadBackgroundPicture(pictures[1]));
  d = ShortAgainstLong(screen, "default_frame_next_picture", true);
  EXPECT_LE(d.most, 1);

  // A wider view: the picture is a little smaller than its pixels and leaves a border, where the
  // frames before showed the picture.
  RTO_CameraFOV(run.camera, 53.5f);
  d = ShortAgainstLong(screen, "default_frame_wider");
  EXPECT_LE(d.most, 1);
  EXPECT_LT(d.pixels, kW * kH / 1000);
}

}  // namespace
