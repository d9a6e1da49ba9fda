// The run's logic without a screen: key and mouse semantics, the exit conditions, the sleep after
// a run, anchoring, the working units, the engine's entry list and the engine's places.
#include <gtest/gtest.h>

#include <SDL.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "platform/platform.h"
#include "run/exit_conditions.h"
#include "run/pacing.h"
#include "run/run_driver.h"
#include "scene/engine_api.h"
#include "scene/geometry.h"
#include "scene/input.h"
#include "scene/run_clock.h"
#include "scene/scene.h"
#include "scene/screen.h"

namespace run {
namespace {

using scene::InputState;

std::array<bool, InputState::kKeyCount> Down(std::initializer_list<int> codes) {
  std::array<bool, InputState::kKeyCount> keys{};
  for (int c : codes) keys[c] = true;
  return keys;
}

TEST(Keys, ReleasedOnceAfterBeingSeenDownAndAnyKeyCoversEveryCode) {
  InputState in;
  EXPECT_FALSE(in.KeyReleased(scene::kKeyF12));  // never down
  in.SetKeys(Down({scene::kKeyF12, 0x1E}));
  EXPECT_FALSE(in.KeyReleased(scene::kKeyF12));  // a press alone does not count
  in.SetKeys(Down({}));
  EXPECT_FALSE(in.KeyReleased(0x1E));  // let go, but never seen down by a call for it
  EXPECT_TRUE(in.KeyReleased(scene::kKeyF12));
  EXPECT_FALSE(in.KeyReleased(scene::kKeyF12));  // reported once

  in.SetKeys(Down({0x01, 0xFE}));
  EXPECT_FALSE(in.KeyReleased(scene::kAnyKey));
  in.SetKeys(Down({0x01}));
  EXPECT_TRUE(in.KeyReleased(scene::kAnyKey));  // 0xFE let go
  in.SetKeys(Down({}));
  EXPECT_TRUE(in.KeyReleased(scene::kKeyEscape));  // taken here first...
  EXPECT_FALSE(in.KeyReleased(scene::kAnyKey));    // ...and not counted again
}

TEST(Mouse, BoxAroundTheStartPointClampingAndTheWheel) {
  InputState in;
  in.SetScreenSize(800, 600);
  in.PlaceMouse(100, 100);
  in.AddMouseMotion(50, -50, 0);
  EXPECT_FALSE(MouseMoved(in));  // (150, 50) is inside
  in.AddMouseMotion(1, 0, 0);
  EXPECT_TRUE(MouseMoved(in));
  in.PlaceMouse(100, 100);
  in.AddMouseMotion(0, 51, 0);
  EXPECT_TRUE(MouseMoved(in));
  in.PlaceMouse(100, 100);
  in.AddMouseMotion(0, 0, -1);
  EXPECT_TRUE(MouseMoved(in));
  in.AddMouseMotion(0, 0, 0);
  EXPECT_FALSE(MouseMoved(in));  // the wheel counts per poll

  in.AddMouseMotion(-100000, 100000, 0);
  EXPECT_EQ(in.MouseX(), 0);
  EXPECT_EQ(in.MouseY(), 599);
  in.AddMouseMotion(2000000000, -2000000000, 0);
  EXPECT_EQ(in.MouseX(), 799);
  EXPECT_EQ(in.MouseY(), 0);
}

struct ExitCase {
  settings::Settings s;
  InputState in;
  bool sleep = false;
  ExitCase(int exiton, int32_t timerMs) {
    s.exiton = static_cast<int8_t>(exiton);
    s.exitontimer = s.exitonsleep = timerMs;
    in.SetScreenSize(800, 600);
    in.PlaceMouse(100, 100);
  }
  bool Test(int64_t elapsed) { return ExitTest(in, s, elapsed, sleep); }
  void Tap(int code) {
    in.SetKeys(Down({code}));
    Test(0);
    in.SetKeys(Down({}));
  }
};

TEST(ExitConditions, EachRowOfExiton) {
  ExitCase mouse(0, 0);
  mouse.Tap(0x1E);
  EXPECT_FALSE(mouse.Test(10'000'000));  // keys and time do not end a mouse run
  mouse.in.AddMouseMotion(51, 0, 0);
  EXPECT_TRUE(mouse.Test(0));

  ExitCase key(1, 0);
  key.in.AddMouseMotion(300, 300, 0);
  EXPECT_FALSE(key.Test(0));
  key.Tap(0x1E);
  EXPECT_TRUE(key.Test(0));

  ExitCase esc(2, 0);
  esc.Tap(0x1E);
  EXPECT_FALSE(esc.Test(0));
  esc.Tap(scene::kKeyEscape);
  EXPECT_TRUE(esc.Test(0));

  ExitCase timer(3, 60000);
  EXPECT_FALSE(timer.Test(60000));  // strictly more than the timer
  EXPECT_TRUE(timer.Test(60001));
  EXPECT_FALSE(timer.sleep);

  ExitCase never(7, 0);
  never.in.AddMouseMotion(300, 0, 1);
  never.Tap(scene::kKeyEscape);
  EXPECT_FALSE(never.Test(10'000'000));
}

TEST(ExitConditions, SleepTimerRequestsSleepOnlyWhenItEndsTheRun) {
  std::vector<std::string> calls;
  SetPowerService({[&] {
                     calls.push_back("allowed?");
                     return true;
                   },
                   [&] { calls.push_back("suspend"); }});
  ExitCase byMouse(4, 60000);
  byMouse.in.AddMouseMotion(0, 60, 0);
  EXPECT_TRUE(byMouse.Test(60001));
  EXPECT_FALSE(byMouse.sleep);
  SleepAfterRun(byMouse.s, byMouse.sleep);
  EXPECT_TRUE(calls.empty());

  ExitCase byTimer(4, 60000);
  EXPECT_FALSE(byTimer.Test(60000));
  EXPECT_TRUE(byTimer.Test(60001));
  EXPECT_TRUE(byTimer.sleep);
  SleepAfterRun(byTimer.s, byTimer.sleep);
  EXPECT_EQ(calls, (std::vector<std::string>{"allowed?", "suspend"}));

  calls.clear();
  SetPowerService({[&] { return false; }, [&] { calls.push_back("suspend"); }});
  SleepAfterRun(byTimer.s, true);
  byTimer.s.exiton = 3;
  SleepAfterRun(byTimer.s, true);
  EXPECT_TRUE(calls.empty());
  SetPowerService({});
}

TEST(Scene, GeometryAndAnchoring) {
  const scene::Geometry g = scene::MakeGeometry(800, 600);
  EXPECT_NEAR(g.planeHeight, 20.57f, 0.005f);
  EXPECT_NEAR(g.planeWidth, 27.43f, 0.005f);
  EXPECT_NEAR(g.unitsPerPixel, 0.03428f, 0.00001f);
  const auto pixelsFromLeft = [&](float x) { return (x - g.leftEdge) / g.unitsPerPixel; };
  const auto pixelsFromTop = [&](float y) { return (g.topEdge - y) / g.unitsPerPixel; };

  const scene::WorldPoint text = scene::AnchorToWorld(g, 0, 0, scene::kTextMargins);
  EXPECT_NEAR(pixelsFromLeft(text.x), 6, 0.01);
  EXPECT_NEAR(pixelsFromTop(text.y), 40, 0.01);
  const scene::WorldPoint clock = scene::AnchorToWorld(g, -260, 10, scene::kTextMargins);
  EXPECT_NEAR(800 - pixelsFromLeft(clock.x), 214, 0.01);
  EXPECT_NEAR(pixelsFromTop(clock.y), 50, 0.01);
  const scene::WorldPoint analog = scene::AnchorToWorld(g, -300, -50, scene::kAnalogClockMargins);
  EXPECT_NEAR(800 - pixelsFromLeft(analog.x), 301, 0.01);
  EXPECT_NEAR(600 - pixelsFromTop(analog.y), 51, 0.01);
  const scene::WorldPoint calendar = scene::AnchorToWorld(g, 10, -100, scene::kCalendarMargins);
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
  scene::SceneState scene;
  scene::ConvertToWorkingUnits(scene, s);
  s.wind = 1;  // "Random" resolved for the run
  EXPECT_EQ(s.exitontimer, 300000);
  EXPECT_EQ(s.exitonsleep, 86400000);
  EXPECT_EQ(s.pictime, 20000);
  EXPECT_EQ(s.musicvol, 70);
  scene::RestoreStoredUnits(scene, s);
  EXPECT_EQ(s.exitontimer, 5);
  EXPECT_EQ(s.exitonsleep, 1440);
  EXPECT_EQ(s.pictime, 20);
  EXPECT_EQ(s.musicvol, 7);
  EXPECT_EQ(s.wind, 3);  // the user's "Random" is what the dialog after F3 shows and saves

  // Hand-edited values beyond the working units saturate and still come back as they were.
  s.exitontimer = 40000;
  s.pictime = -3000000;
  s.musicvol = 50;
  scene::ConvertToWorkingUnits(scene, s);
  EXPECT_EQ(s.exitontimer, INT32_MAX);
  EXPECT_EQ(s.pictime, INT32_MIN);
  EXPECT_EQ(s.musicvol, 127);
  scene::RestoreStoredUnits(scene, s);
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
  const std::set<std::string> bound(scene::kEngineEntryNames,
                                    scene::kEngineEntryNames + scene::kEngineEntryCount);
  EXPECT_EQ(bound.size(), static_cast<size_t>(scene::kEngineEntryCount));
  EXPECT_EQ(bound, declared);

  EXPECT_TRUE(scene::StartEngine(0, FLURRIX_ENGINE_LIBRARY));
  EXPECT_EQ(scene::Rto().GetVersion(), RTO_VERSION);
  scene::StopEngine();
  EXPECT_EQ(scene::Rto().GetVersion, nullptr);
  EXPECT_FALSE(scene::StartEngine(0, FLURRIX_WRONG_ENGINE_LIBRARY));
  EXPECT_FALSE(scene::StartEngine(0, "/nonexistent/" + std::string(scene::kEngineFileName)));
  EXPECT_EQ(scene::Rto().GetVersion, nullptr);
}

TEST(Engine, FoundInTheCurrentFolderWhenPathLacksIt) {
  namespace fs = std::filesystem;
  const fs::path base = fs::temp_directory_path() / ("flurrix-locate-" + std::to_string(getpid()));
  fs::create_directories(base / "empty");
  fs::create_directories(base / "here" / scene::kEngineFileName / "x");  // a folder of that name
  const fs::path previous = fs::current_path();
  fs::current_path(base / "here");
  settings::Settings s;
  s.Path = (base / "empty").string() + "/";
  EXPECT_FALSE(LocateEngine(s));
  fs::remove_all(base / "here" / scene::kEngineFileName);
  std::ofstream(base / "here" / scene::kEngineFileName) << "x";
  s.Path = (base / "empty").string() + "/";
  EXPECT_TRUE(LocateEngine(s));
  EXPECT_EQ(s.Path, platform::CurrentFolder());
  fs::current_path(previous);
  fs::remove_all(base);
}

// The system's screen blanking and sleep timers keep working during a run: the video layer holds
// no screen-saver or display inhibition (on X11 a reset of the screen saver and a D-Bus inhibit,
// on Windows a display-required execution state).
TEST(Screen, TheVideoLayerLeavesTheSystemsScreenSaverOn) {
  if (!platform::HasDisplay()) SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  ASSERT_TRUE(scene::StartSprites());
  SDL_Window* window = SDL_CreateWindow("", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  // The video layer stays up, as in a run: shutting it down unloads the GL driver.
  if (window) SDL_DestroyWindow(window);
}

int renderCalls = 0;
int presentCalls = 0;

// A whole run on the offscreen driver while the display is reported off: nothing is drawn, the
// display is asked again and again, and the exit timer still ends the run.
TEST(Run, DisplayOffDrawsNothingAndTheExitConditionsStillWork) {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  int64_t now = 0;
  // Every look at the clock moves it on by more than a rest, so that the rests pass at once.
  const scene::ClockSource previousClock = scene::SetClock([&now] { return now += kRestMs + 50; });
  int displayQuestions = 0;
  const ViewingService previousViewing = SetViewingService(
      {[&displayQuestions] { return ++displayQuestions, false; }, [] { return false; }});
  settings::Settings s;
  settings::SetDefaults(s, {});
  s.Path = std::filesystem::path(FLURRIX_ENGINE_LIBRARY).parent_path().string() + "/";
  s.desktopWidth = s.videow = 320;
  s.desktopHeight = s.videoh = 240;
  s.desktopDepth = s.videod = 32;
  s.exiton = 3;
  s.exitontimer = 1;  // minutes
  s.music = 0;
  SaverRun run;
  ASSERT_TRUE(run.Start(s));
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());  // with the run's screen open
  // A GL window kept until the process ends keeps Mesa's driver loaded after the run closes its
  // screen: unloading it before the leak check would report the driver's own memory as leaks.
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
  ASSERT_NE(SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN), nullptr);
  scene::Rto().RenderWorld = [] { return ++renderCalls; };
  scene::Rto().FlipBuffers = [] { return ++presentCalls; };
  const int64_t started = now;
  int frames = 0;
  while (run.Frame(s) && frames < 100000) ++frames;
  const int64_t ranMs = now - started;
  run.Finish(s);
  SetViewingService(previousViewing);
  scene::SetClock(previousClock);
  EXPECT_EQ(renderCalls, 0);
  EXPECT_EQ(presentCalls, 0);
  EXPECT_GE(ranMs, 60000);
  EXPECT_LT(ranMs, 65000);
  EXPECT_GE(displayQuestions, frames);
}

TEST(Keys, DirectInputCodesOfTheKeysTheRunUses) {
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_ESCAPE), scene::kKeyEscape);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_F1), scene::kKeyF1);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_F2), scene::kKeyF2);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_F3), scene::kKeyF3);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_F10), 0x44);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_F11), 0x57);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_F12), scene::kKeyF12);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_A), 0x1E);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_Z), 0x2C);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_0), 0x0B);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_SPACE), 0x39);
  EXPECT_EQ(scene::DirectInputCode(SDL_SCANCODE_RIGHT), 0xCD);
  EXPECT_EQ(scene::DirectInputCode(-1), 0);
}

}  // namespace
}  // namespace run
