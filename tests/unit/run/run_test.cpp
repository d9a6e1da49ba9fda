// The run's logic: the mouse box, the exit conditions and how a run ended, the sleep after a run,
// the engine's places, and a whole run with the display off.
#include <gtest/gtest.h>

#include <SDL.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "run/exit_conditions.h"
#include "run/pacing.h"
#include "run/run_driver.h"
#include "run/run_plan.h"
#include "scene/engine_api.h"
#include "scoped_hook.h"
#include "web/site.h"

namespace run {
namespace {

using screen::InputState;

std::array<bool, InputState::kKeyCount> Down(std::initializer_list<int> codes) {
  std::array<bool, InputState::kKeyCount> keys{};
  for (int c : codes) keys[c] = true;
  return keys;
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
  ExitRules rules;
  InputState in;
  RunEnd end = RunEnd::kRunning;
  ExitCase(int exiton, int64_t timerMs) {
    rules = {static_cast<int8_t>(exiton), timerMs, timerMs};
    in.SetScreenSize(800, 600);
    in.PlaceMouse(kMouseStartX, kMouseStartY);
  }
  bool Test(int64_t elapsed) {
    end = ExitTest(in, rules, elapsed);
    return end != RunEnd::kRunning;
  }
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
  esc.Tap(screen::kKeyEscape);
  EXPECT_TRUE(esc.Test(0));

  ExitCase timer(3, 60000);
  EXPECT_FALSE(timer.Test(60000));  // strictly more than the timer
  EXPECT_TRUE(timer.Test(60001));
  EXPECT_EQ(timer.end, RunEnd::kExitCondition);

  ExitCase never(7, 0);
  never.in.AddMouseMotion(300, 0, 1);
  never.Tap(screen::kKeyEscape);
  EXPECT_FALSE(never.Test(10'000'000));
}

TEST(ExitConditions, SleepTimerRequestsSleepOnlyWhenItEndsTheRun) {
  std::vector<std::string> calls;
  scene::RunContext context;
  context.suspendAllowed = [&] {
    calls.push_back("allowed?");
    return true;
  };
  context.suspend = [&] { calls.push_back("suspend"); };
  ExitCase byMouse(4, 60000);
  byMouse.in.AddMouseMotion(0, 60, 0);
  EXPECT_TRUE(byMouse.Test(60001));
  EXPECT_EQ(byMouse.end, RunEnd::kExitCondition);
  SleepAfterRun(byMouse.end, context);
  EXPECT_TRUE(calls.empty());

  ExitCase byTimer(4, 60000);
  EXPECT_FALSE(byTimer.Test(60000));
  EXPECT_TRUE(byTimer.Test(60001));
  EXPECT_EQ(byTimer.end, RunEnd::kSleepTimer);
  SleepAfterRun(byTimer.end, context);
  EXPECT_EQ(calls, (std::vector<std::string>{"allowed?", "suspend"}));

  calls.clear();
  context.suspendAllowed = [] { return false; };
  SleepAfterRun(RunEnd::kSleepTimer, context);
  context.suspendAllowed = [] { return true; };
  SleepAfterRun(RunEnd::kExitCondition, context);
  EXPECT_TRUE(calls.empty());
}

// The run's units: minutes and tenths as stored, milliseconds and percent in the plan, with room
// for hand-edited values far beyond the dialog's.
TEST(Plan, TimersInMillisecondsAndTheVolumeInPercent) {
  settings::Settings s;
  s.exiton = 4;
  s.exitontimer = 5;
  s.exitonsleep = 40000;
  s.musicvol = 7;
  s.music = 1;
  s.musicmode = 1;
  s.musicfolder = "/music/";
  s.configFolder = "/config/";
  scene::RandomGenerator random;
  const RunPlan plan = MakeRunPlan(s, random);
  EXPECT_EQ(plan.exit.exiton, 4);
  EXPECT_EQ(plan.exit.timerMs, 300000);
  EXPECT_EQ(plan.exit.sleepMs, 2400000000);
  EXPECT_EQ(plan.music.volumePercent, 70);
  EXPECT_TRUE(plan.music.on && plan.music.wholeFolder);
  EXPECT_EQ(plan.music.folder, "/music/");
  EXPECT_EQ(plan.screenshotFolder, "/config/");
  EXPECT_EQ(s.exitontimer, 5);
  EXPECT_EQ(s.musicvol, 7);
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

int renderCalls = 0;
int presentCalls = 0;

// A small run of the build's engine and content on the offscreen driver, without music.
settings::Settings SmallRun() {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  settings::Settings s;
  settings::SetDefaults(s, {});
  s.Path = std::filesystem::path(FLURRIX_ENGINE_LIBRARY).parent_path().string() + "/";
  s.desktopWidth = s.videow = 320;
  s.desktopHeight = s.videoh = 240;
  s.desktopDepth = s.videod = 32;
  s.music = 0;
  return s;
}

// A GL window kept until the process ends keeps Mesa's driver loaded after a run closes its
// screen: unloading it before the leak check would report the driver's own memory as leaks.
void KeepGlDriverLoaded() {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
  ASSERT_NE(SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN), nullptr);
}

// A whole run on the offscreen driver while the display is reported off: nothing is drawn, the
// display is asked again and again, and the exit timer still ends the run.
TEST(Run, DisplayOffDrawsNothingAndTheExitConditionsStillWork) {
  int64_t now = 0;
  int displayQuestions = 0;
  scene::RunContext context;
  // Every look at the clock moves it on by more than a rest, so that the rests pass at once.
  context.clock = [&now] { return now += kRestMs + 50; };
  context.displayOn = [&displayQuestions] { return ++displayQuestions, false; };
  context.onBattery = [] { return false; };
  settings::Settings s = SmallRun();
  s.exiton = 3;
  s.exitontimer = 1;  // minutes
  SaverRun run(context);
  flurrixtest::ScopedTable engine(scene::Rto());
  ASSERT_TRUE(run.Start(s));
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());  // with the run's screen open
  KeepGlDriverLoaded();
  scene::Rto().RenderWorld = [] { return ++renderCalls; };
  scene::Rto().FlipBuffers = [] { return ++presentCalls; };
  const int64_t started = now;
  int frames = 0;
  while (run.Frame() && frames < 100000) ++frames;
  const int64_t ranMs = now - started;
  run.Finish();
  EXPECT_EQ(run.End(), RunEnd::kExitCondition);
  EXPECT_EQ(renderCalls, 0);
  EXPECT_EQ(presentCalls, 0);
  EXPECT_GE(ranMs, 60000);
  EXPECT_LT(ranMs, 65000);
  EXPECT_GE(displayQuestions, frames);
}

// F1, F3 and the system's request to end each end a run with an outcome of their own, which the
// program acts on: the home page opened, the dialog after the run, nothing more.
TEST(Run, FunctionKeysAndTheSystemEndTheRunEachWithItsOwnOutcome) {
  std::vector<std::string> links;
  flurrixtest::ScopedHook opener(
      web::SetLinkOpener, [&links](const std::string& address) { links.push_back(address); });
  settings::Settings s = SmallRun();
  KeepGlDriverLoaded();
  auto endedBy = [&s](SDL_Event event) {
    int64_t now = 0;
    scene::RunContext context;
    context.clock = [&now] { return now += 17; };
    SaverRun run(context);
    if (!run.Start(s)) return RunEnd::kNotStarted;
    SDL_PushEvent(&event);
    for (int frame = 0; frame < 5 && run.Frame(); ++frame) {
    }
    run.Finish();
    return run.End();
  };
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.scancode = SDL_SCANCODE_F1;
  EXPECT_EQ(endedBy(key), RunEnd::kHomePage);
  EXPECT_EQ(links, std::vector<std::string>{web::HomePageAddress()});
  key.key.keysym.scancode = SDL_SCANCODE_F3;
  EXPECT_EQ(endedBy(key), RunEnd::kDialog);
  key.key.keysym.scancode = SDL_SCANCODE_F2;
  EXPECT_EQ(endedBy(key), RunEnd::kRunning) << "F2 does nothing, a key does not end a mouse run";
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(endedBy(quit), RunEnd::kTerminated);
  EXPECT_EQ(links.size(), 1u);
}

// The simulated screen of the next test: a refresh every kRefreshNs, the present waiting for the
// next one after 2 ms of drawing; the run's clock and its sleeps are the test's.
int64_t nowNs = 0;
constexpr int64_t kRefreshNs = 1000000000 / 144;
std::vector<int64_t> presentRefreshes;
std::vector<float> drawnY;  // the watched flake's height at each present
int watchedFlake = 0;
float lastY = 0;
scene::EngineApi realEngine;

// A whole run on the offscreen driver told that the display refreshes 144 times a second:
// it presents every second refresh, and the flakes it draws move by the same amount in each frame.
TEST(Run, AtOneHundredFortyFourHertzEverySecondRefreshShowsTheSnowMovedEvenly) {
  struct Refresh {
    Refresh() { setenv("FLURRIX_REFRESH_HZ", "144", 1); }
    ~Refresh() { unsetenv("FLURRIX_REFRESH_HZ"); }
  } refresh;
  nowNs = 0;
  scene::RunContext context;
  context.clock = [] { return nowNs / 1000000; };
  context.sleep = [](int64_t ms) { nowNs += ms * 1000000; };
  context.displayOn = [] { return true; };
  context.onBattery = [] { return false; };
  context.random.Seed(3);
  settings::Settings s = SmallRun();
  SaverRun run(context);
  flurrixtest::ScopedTable engine(scene::Rto());
  ASSERT_TRUE(run.Start(s));
  KeepGlDriverLoaded();
  realEngine = scene::Rto();
  watchedFlake = run.scene().field.flakes[1].entity;
  scene::Rto().MoveEntity2 = [](int entity, float x, float y, float z, int mode) {
    if (entity == watchedFlake) lastY = y;
    return realEngine.MoveEntity2(entity, x, y, z, mode);
  };
  scene::Rto().FlipBuffers = [] {
    nowNs += 2000000;
    const int64_t refresh = (nowNs + kRefreshNs - 1) / kRefreshNs;
    nowNs = refresh * kRefreshNs;
    presentRefreshes.push_back(refresh);
    drawnY.push_back(lastY);
    return realEngine.FlipBuffers();
  };
  for (int frame = 0; frame < 150 && run.Frame(); ++frame) {
  }
  run.Finish();
  ASSERT_EQ(presentRefreshes.size(), 150u);
  const float fall = run.scene().field.flakes[1].fall;
  for (size_t i = 1; i < presentRefreshes.size(); ++i) {
    ASSERT_EQ(presentRefreshes[i] - presentRefreshes[i - 1], 2) << i;
    const float moved = drawnY[i - 1] - drawnY[i];
    if (moved < 0) continue;  // wrapped to the top
    ASSERT_NEAR(moved, fall * 60 * 2 / 144, fall * 0.01f) << i;
  }
}

}  // namespace
}  // namespace run
