// What the run's scene rests on: where things stand on the screen, the settings held in working
// units for a run and put back exactly, and the engine's entries bound from its library.
#include "scene/scene.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "scene/engine_api.h"
#include "scene/geometry.h"

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

TEST(Scene, WorkingUnitsAndBackExactly) {
  settings::Settings s;
  s.exitontimer = 5;
  s.exitonsleep = 1440;
  s.pictime = 20;
  s.musicvol = 7;
  s.wind = 3;
  SceneState scene;
  ConvertToWorkingUnits(scene, s);
  s.wind = 1;  // "Random" resolved for the run
  EXPECT_EQ(s.exitontimer, 300000);
  EXPECT_EQ(s.exitonsleep, 86400000);
  EXPECT_EQ(s.pictime, 20000);
  EXPECT_EQ(s.musicvol, 70);
  RestoreStoredUnits(scene, s);
  EXPECT_EQ(s.exitontimer, 5);
  EXPECT_EQ(s.exitonsleep, 1440);
  EXPECT_EQ(s.pictime, 20);
  EXPECT_EQ(s.musicvol, 7);
  EXPECT_EQ(s.wind, 3);  // the user's "Random" is what the dialog after F3 shows and saves

  // Hand-edited values beyond the working units saturate and still come back as they were.
  s.exitontimer = 40000;
  s.pictime = -3000000;
  s.musicvol = 50;
  ConvertToWorkingUnits(scene, s);
  EXPECT_EQ(s.exitontimer, INT32_MAX);
  EXPECT_EQ(s.pictime, INT32_MIN);
  EXPECT_EQ(s.musicvol, 127);
  RestoreStoredUnits(scene, s);
  EXPECT_EQ(s.exitontimer, 40000);
  EXPECT_EQ(s.pictime, -3000000);
  EXPECT_EQ(s.musicvol, 50);
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
