// What the run's scene rests on: where things stand on the screen, the plan made from the
// settings, and the engine's entries bound from its library.
#include "scene/scene.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "scene/engine_api.h"
#include "scene/flake_field.h"
#include "scene/geometry.h"
#include "scene/scene_plan.h"
#include "settings/modes.h"

namespace scene {
namespace {

TEST(Scene, GeometryAndAnchoring) {
  const Geometry g = MakeGeometry(800, 600);
  EXPECT_NEAR(g.planeHeight, 20.57f, 0.005f);
  EXPECT_NEAR(g.planeWidth, 27.43f, 0.005f);
  EXPECT_NEAR(g.unitsPerPixel, 0.03428f, 0.00001f);
  const auto pixelsFromLeft = [&](float x) { return (x - g.leftEdge) / g.unitsPerPixel; };
  const auto pixelsFromTop = [&](float y) { return (g.topEdge - y) / g.unitsPerPixel; };

  const WorldPoint text = AnchorToWorld(g, 0, 0, kTextMargins);
  EXPECT_NEAR(pixelsFromLeft(text.x), 6, 0.01);
  EXPECT_NEAR(pixelsFromTop(text.y), 40, 0.01);
  const WorldPoint clock = AnchorToWorld(g, -260, 10, kTextMargins);
  EXPECT_NEAR(800 - pixelsFromLeft(clock.x), 214, 0.01);
  EXPECT_NEAR(pixelsFromTop(clock.y), 50, 0.01);
  const WorldPoint analog = AnchorToWorld(g, -300, -50, kAnalogClockMargins);
  EXPECT_NEAR(800 - pixelsFromLeft(analog.x), 301, 0.01);
  EXPECT_NEAR(600 - pixelsFromTop(analog.y), 51, 0.01);
  const WorldPoint calendar = AnchorToWorld(g, 10, -100, kCalendarMargins);
  EXPECT_NEAR(pixelsFromLeft(calendar.x), 18, 0.01);
  EXPECT_NEAR(600 - pixelsFromTop(calendar.y), 38, 0.01);
  EXPECT_EQ(calendar.z, 0.0f);
}

TEST(Scene, ThePlanResolvesTheSettingsAndLeavesThemAsStored) {
  settings::Settings s;
  s.Path = "/program/";
  s.configFolder = "/config/";
  s.pictime = 20;
  s.flakes = 200000;
  s.flakesize = 300;
  s.flaketype = 9;
  s.speed = 4;
  s.wind = settings::kWindRandom;
  RandomGenerator random;
  std::set<Drift> drifts;
  for (uint64_t seed = 1; seed <= 30; ++seed) {
    random.Seed(seed);
    drifts.insert(MakeScenePlan(s, random, {}).flakes.drift);
  }
  EXPECT_EQ(drifts.size(), 3u) << "Random draws each of the three";
  EXPECT_EQ(s.wind, settings::kWindRandom) << "what the dialog after F3 shows and saves";
  s.wind = settings::kWindRightToLeft;
  const ScenePlan plan = MakeScenePlan(s, random, {});
  EXPECT_EQ(plan.flakes.drift, Drift::kRightToLeft);
  EXPECT_EQ(plan.flakes.count, kMaxFlakes);
  EXPECT_FLOAT_EQ(plan.flakes.scale, 1.0f);
  EXPECT_EQ(plan.flakes.builtInNumber, 1);
  EXPECT_EQ(plan.flakes.speed, 4);
  EXPECT_EQ(plan.background.pictureTimeMs, 20000);
  EXPECT_EQ(plan.resourceFolders,
            (std::vector<std::string>{"/config/", "/program/data/", "/program/data/font/"}));

  // Each stored background: where its pictures come from, or its colour.
  using Source = BackgroundPlan::Source;
  s.blankr = 255, s.blankg = 1, s.blankb = 300;
  const std::vector<std::tuple<int8_t, Source, std::string, std::string, int32_t>> cases = {
      {0, Source::kPictureFolder, "/program/data/forest/", "", 0},
      {1, Source::kDesktop, "", "/config/desktop.bmp", 0},
      {2, Source::kWallpaper, "", "/config/wallpaper.bmp", 0},
      {3, Source::kColour, "", "", 255 | 1 << 8 | 255 << 16},
      {4, Source::kPictureFolder, "/config/imgs/", "", 0},
      {5, Source::kPictureFolder, "/program/data/gradient/", "", 0},
      {6, Source::kPictureFolder, "", "", 0},
  };
  for (const auto& [stored, source, folder, picture, colour] : cases) {
    s.background = stored;
    const BackgroundPlan b = PlanBackground(s);
    EXPECT_EQ(b.source, source) << int(stored);
    EXPECT_EQ(b.folder, folder) << int(stored);
    EXPECT_EQ(b.picture, picture) << int(stored);
    EXPECT_EQ(b.colour, colour) << int(stored);
  }
}

TEST(Engine, TheTableBindsEveryEntryOfTheHeader) {
  std::ifstream header(FLURRIX_ENGINE_HEADER);
  std::stringstream text;
  text << header.rdbuf();
  const std::string source = text.str();
  std::set<std::string> declared;
  const std::regex entry(R"(RTO_API[^(;]*\b(RTO_\w+)\s*\()");
  for (auto it = std::sregex_iterator(source.begin(), source.end(), entry);
       it != std::sregex_iterator(); ++it) {
    declared.insert((*it)[1]);
  }
  const std::set<std::string> bound(kEngineEntryNames, kEngineEntryNames + kEngineEntryCount);
  EXPECT_EQ(bound.size(), static_cast<size_t>(kEngineEntryCount));
  EXPECT_EQ(bound, declared);

  EXPECT_TRUE(StartEngine(0, FLURRIX_ENGINE_LIBRARY));
  EXPECT_EQ(Rto().GetVersion(), RTO_VERSION);
  StopEngine();
  EXPECT_EQ(Rto().GetVersion, nullptr);
  EXPECT_FALSE(StartEngine(0, FLURRIX_WRONG_ENGINE_LIBRARY));
  EXPECT_FALSE(StartEngine(0, "/nonexistent/" + std::string(kEngineFileName)));
  EXPECT_EQ(Rto().GetVersion, nullptr);
}

}  // namespace
}  // namespace scene
