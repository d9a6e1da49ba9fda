// The CPU cost of a whole run: the default settings at 1920 x 1080 on the offscreen driver for a
// number of seconds, paced as the run paces itself, with the display reported off, and the same
// frames without pacing (step, draw and present as fast as the machine allows). The whole
// process's CPU time counts, the renderer's threads included. The offscreen driver has no refresh
// rate, so the run paces itself as on a 60 Hz screen; FLURRIX_REFRESH_HZ=144 (read by the screen
// layer) runs it as on a 144 Hz one, at the cadence it would choose there (72 frames a second):
//   FLURRIX_REFRESH_HZ=144 build/run_bench --benchmark_filter=RunPaced
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <SDL.h>

#include <cstdlib>

#include <memory>

#include "engine_screen.h"
#include "platform/platform.h"
#include "run/run_driver.h"
#include "scene/engine_api.h"
#include "scene/run_context.h"

namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// FLURRIX_BENCH_ON_DISPLAY=1 runs on the X display of DISPLAY (every monitor it has) instead of
// the offscreen driver's 1920 x 1080.
bool OnDisplay() {
  return std::getenv("FLURRIX_BENCH_ON_DISPLAY") != nullptr;
}

settings::Settings DefaultSettings() {
  settings::Settings s;
  const platform::DesktopMode desktop =
      OnDisplay() ? platform::QueryDesktop() : platform::DesktopMode{1920, 1080, 32};
  s.desktopWidth = desktop.width;
  s.desktopHeight = desktop.height;
  s.desktopDepth = desktop.depth;
  settings::SetDefaults(s, {platform::ProgramFolder(), 0});
  s.exiton = 2;  // only Escape ends it
  return s;
}

enum class Mode { kPaced, kDisplayOff, kUnpaced };

// A run without its pacer: every step of the frame order, as fast as presenting allows.
struct UnpacedRun {
  std::unique_ptr<flurrixtest::EngineScreen> screen;
  scene::SceneState scene;

  bool Start(settings::Settings& s, scene::RunContext& context) {
    if (!scene::StartEngine(0, s.Path + scene::kEngineFileName)) return false;
    screen = std::make_unique<flurrixtest::EngineScreen>(s.videow, s.videoh, "Flurrix");
    if (!screen->ok()) return false;
    scene::BuildScene(scene, scene::MakeScenePlan(s, context.random, {}), context, screen->width(),
                      screen->height());
    scene::StartBackground(scene.background, scene.Planes());
    return true;
  }

  int64_t Frames(scene::RunContext& context, uint64_t limitMs) {
    const uint64_t start = platform::MonotonicMs();
    int64_t frames = 0;
    for (; platform::MonotonicMs() - start < limitMs; ++frames) {
      scene::UpdateFlakeField(scene.field, context.random);
      scene::UpdateBackground(scene.background, context.NowMs());
      scene::RefreshClocks(scene.clocks, context, false);
      scene::CheckCalendarDay(scene.calendar, context, false);
      scene::Rto().RenderWorld();
      screen->Present();
      screen->screen().PollInput();
    }
    return frames;
  }

  void Finish() {
    screen.reset();
    scene::StopEngine();
  }
};

void RunFor(benchmark::State& state, Mode mode) {
  if (!OnDisplay()) SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("FLURRIX_AUDIO_SINK", "fakesink sync=true", 0);
  // FLURRIX_RUN_SECONDS shortens (or lengthens) the run for a quick look.
  const char* seconds = std::getenv("FLURRIX_RUN_SECONDS");
  const auto limitMs = static_cast<uint64_t>(seconds ? std::atoi(seconds) : state.range(0)) * 1000;
  for (auto _ : state) {
    settings::Settings s = DefaultSettings();
    scene::RunContext context;
    context.displayOn = [mode] { return mode != Mode::kDisplayOff; };
    context.onBattery = [] { return false; };
    run::SaverRun run(context);
    UnpacedRun unpaced;
    const bool started = mode == Mode::kUnpaced ? unpaced.Start(s, context) : run.Start(s);
    if (!started) {
      state.SkipWithError("the run cannot start");
      break;
    }
    const double cpuBefore = ProcessCpuSeconds();
    const uint64_t start = platform::MonotonicMs();
    int64_t frames = 0;
    if (mode == Mode::kUnpaced) {
      frames = unpaced.Frames(context, limitMs);
    } else {
      while (platform::MonotonicMs() - start < limitMs && run.Frame()) ++frames;
    }
    const double wall = static_cast<double>(platform::MonotonicMs() - start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    if (mode == Mode::kUnpaced) {
      unpaced.Finish();
    } else {
      run.Finish();
    }
    state.SetIterationTime(wall);
    state.counters["cpu_s"] = cpu;
    state.counters["core_percent"] = 100.0 * cpu / wall;
    state.counters["frames_per_s"] = static_cast<double>(frames) / wall;
  }
}

void BM_RunPaced(benchmark::State& state) {
  RunFor(state, Mode::kPaced);
}
void BM_RunDisplayOff(benchmark::State& state) {
  RunFor(state, Mode::kDisplayOff);
}
void BM_RunUnpaced(benchmark::State& state) {
  RunFor(state, Mode::kUnpaced);
}

BENCHMARK(BM_RunPaced)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_RunDisplayOff)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_RunUnpaced)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
