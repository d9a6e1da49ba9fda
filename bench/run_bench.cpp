// The CPU cost of a whole run: the default settings at 1920 x 1080 on the offscreen driver for a
// number of seconds, paced as the run paces itself, with the display reported off, and the same
// frames without pacing (step, draw and present as fast as the machine allows). The whole
// process's CPU time counts, the renderer's threads included.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <SDL.h>

#include <cstdlib>

#include "platform/platform.h"
#include "run/pacing.h"
#include "run/run_driver.h"
#include "scene/engine_api.h"
#include "scene/run_clock.h"
#include "scene/screen.h"

namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

settings::Settings DefaultSettings() {
  settings::Settings s;
  s.desktopWidth = 1920;
  s.desktopHeight = 1080;
  s.desktopDepth = 32;
  settings::SetDefaults(s, {platform::ProgramFolder(), 0});
  s.exiton = 2;  // only Escape ends it
  return s;
}

enum class Mode { kPaced, kDisplayOff, kUnpaced };

// The start of a run without its pacer.
bool StartUnpaced(scene::SceneState& scene, settings::Settings& s) {
  if (!scene::StartEngine(0, s.Path + scene::kEngineFileName) || !scene::StartSprites() ||
      !scene::OpenFullScreen(s.videow, s.videoh, s.videod, "Flurrix")) {
    return false;
  }
  scene::BuildScene(scene, s, scene::ScreenWidth(), scene::ScreenHeight());
  scene::StartBackground(scene.background, s, scene.picturePlane, scene.coverPlane);
  return true;
}

// The frames of a run before pacing: every step of the frame order, as fast as presenting allows.
int64_t UnpacedFrames(scene::SceneState& scene, settings::Settings& s, uint64_t limitMs) {
  const uint64_t start = platform::MonotonicMs();
  int64_t frames = 0;
  for (; platform::MonotonicMs() - start < limitMs; ++frames) {
    scene::UpdateFlakeField(scene.field, s);
    scene::UpdateBackground(scene.background, s, scene::NowMs());
    scene::RefreshClocks(scene.clocks, s, false);
    scene::CheckCalendarDay(scene.calendar, s, false);
    scene::Rto().RenderWorld();
    scene::PresentFrame();
    scene::PollKeyboard();
    scene::PollMouse();
  }
  return frames;
}

void RunFor(benchmark::State& state, Mode mode) {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("FLURRIX_AUDIO_SINK", "fakesink sync=true", 0);
  const run::ViewingService previous =
      run::SetViewingService({[mode] { return mode != Mode::kDisplayOff; }, [] { return false; }});
  // FLURRIX_RUN_SECONDS shortens (or lengthens) the run for a quick look.
  const char* seconds = std::getenv("FLURRIX_RUN_SECONDS");
  const auto limitMs = static_cast<uint64_t>(seconds ? std::atoi(seconds) : state.range(0)) * 1000;
  for (auto _ : state) {
    settings::Settings s = DefaultSettings();
    run::SaverRun run;
    scene::SceneState unpaced;
    const bool started = mode == Mode::kUnpaced ? StartUnpaced(unpaced, s) : run.Start(s);
    if (!started) {
      state.SkipWithError("the run cannot start");
      break;
    }
    const double cpuBefore = ProcessCpuSeconds();
    const uint64_t start = platform::MonotonicMs();
    int64_t frames = 0;
    if (mode == Mode::kUnpaced) {
      frames = UnpacedFrames(unpaced, s, limitMs);
    } else {
      while (platform::MonotonicMs() - start < limitMs && run.Frame(s)) ++frames;
    }
    const double wall = static_cast<double>(platform::MonotonicMs() - start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    if (mode == Mode::kUnpaced) {
      scene::RestoreStoredUnits(unpaced, s);
      scene::CloseFullScreen();
      scene::StopEngine();
    } else {
      run.Finish(s);
    }
    state.SetIterationTime(wall);
    state.counters["cpu_s"] = cpu;
    state.counters["core_percent"] = 100.0 * cpu / wall;
    state.counters["frames_per_s"] = static_cast<double>(frames) / wall;
  }
  run::SetViewingService(previous);
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
