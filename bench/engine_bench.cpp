// The program's own scene code on the real engine (linked in): the flake field's cost per frame,
// and whole frames of the run's scene at 1920 x 1080 through SDL's offscreen driver (EGL on Mesa
// llvmpipe without a GPU), beside a bare OpenGL program drawing the same planes and quads.
//
//   engine_bench [benchmark flags]   the benchmarks
//   engine_bench --ceiling-seconds S the bare program alone for S seconds (its peak memory)
//   engine_bench --frames N          N run frames (cover 0) and nothing else; --plain-frames N
//                                    the same without the clocks; --ceiling-frames N the bare
//                                    program's cheapest form of those pixels: for callgrind or
//                                    perf, where two counts of frames give the cost of one
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/builtin_pictures.h"
#include "engine.h"
#include "engine_screen.h"
#include "gl_ceiling.h"
#include "linked_engine.h"
#include "scene/run_context.h"
#include "scene/scene.h"
#include "settings/settings.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
void (*glFinish)() = nullptr;

// The settings of a default run from the build folder (libflurrix.so, data/), with this many
// flakes, the wind pushing right (the most random draws per flake), rotation and the clocks as
// asked.
settings::Settings RunSettings(int flakes, bool rotate, bool clocks = true) {
  settings::Settings s;
  s.desktopWidth = kWidth;
  s.desktopHeight = kHeight;
  s.desktopDepth = 32;
  settings::SetDefaults(s, {FLURRIX_BUILD_DIR "/", 0});
  s.configFolder = (std::filesystem::temp_directory_path() / "").string();
  s.flakes = flakes;
  s.flakerotate = rotate ? 1 : 0;
  s.wind = 1;
  s.aclock = s.dclock = clocks ? 1 : 0;
  return s;
}

// The picture a default slide show shows first.
std::string FirstPicture() {
  std::vector<std::string> pictures;
  scene::ScanPictureFolder(pictures, FLURRIX_BUILD_DIR "/data/forest/");
  return pictures.empty() ? "" : pictures.front();
}

// The run's screen at the benchmark's size, the engine drawing into it.
class BenchScreen : public flurrixtest::EngineScreen {
 public:
  BenchScreen() : EngineScreen(kWidth, kHeight, "engine bench") {
    if (!ok()) std::abort();
    glFinish = reinterpret_cast<void (*)()>(SDL_GL_GetProcAddress("glFinish"));
  }
  // The frame presented and finished.
  void Finish() {
    Present();
    glFinish();
  }
};

// The flake field's frame: UpdateFlakeField as the run calls it, the engine's moves included.
void BM_UpdateFlakeField(benchmark::State& state) {
  BenchScreen screen;
  settings::Settings s = RunSettings(static_cast<int>(state.range(0)), state.range(1) != 0);
  scene::RandomGenerator random;
  random.Seed(7);
  scene::FlakeField field;
  scene::BuildFlakeField(field, scene::MakeScenePlan(s, random, app::BuiltInFiles()).flakes,
                         random);
  for (auto _ : state) scene::UpdateFlakeField(field, random);
  state.counters["ns_per_flake"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * field.count,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UpdateFlakeField)
    ->ArgsProduct({{2000, 100000}, {0, 1}})
    ->ArgNames({"flakes", "rotate"})
    ->Unit(benchmark::kMicrosecond);

// The same plus the world transforms the engine computes from the moves before it draws.
void BM_UpdateFlakeFieldAndTransforms(benchmark::State& state) {
  BenchScreen screen;
  settings::Settings s = RunSettings(static_cast<int>(state.range(0)), state.range(1) != 0);
  scene::RandomGenerator random;
  random.Seed(7);
  scene::FlakeField field;
  scene::BuildFlakeField(field, scene::MakeScenePlan(s, random, app::BuiltInFiles()).flakes,
                         random);
  for (auto _ : state) {
    scene::UpdateFlakeField(field, random);
    engine::TheEngine().scene.UpdateTransforms();
  }
  state.counters["ns_per_flake"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * field.count,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UpdateFlakeFieldAndTransforms)
    ->ArgsProduct({{2000, 100000}, {0, 1}})
    ->ArgNames({"flakes", "rotate"})
    ->Unit(benchmark::kMicrosecond);

// The cover as a frame leaves it: -1 hidden, otherwise its FadeLevel.
enum Cover { kHidden = -1 };

// Whole frames of the run's scene, built by BuildScene: the first winter picture of the build's
// slide show faded in, the cover, 2,000 flakes, the clocks or not. Each frame as SaverRun::Frame
// draws it (flakes, slide show, render, present), finished. Frames per second is
// items_per_second.
struct RunScene {
  BenchScreen screen;
  settings::Settings s;
  scene::RunContext context;
  scene::SceneState run;

  RunScene(int flakes, int cover, bool clocks) : s(RunSettings(flakes, false, clocks)) {
    context.clock = [] { return int64_t{1000}; };  // a still clock: the slide show stays
    context.random.Seed(7);
    scene::BuildScene(run, scene::MakeScenePlan(s, context.random, app::BuiltInFiles()), context,
                      screen.width(), screen.height());
    scene::StartBackground(run.background, run.Planes());
    scene::BackgroundState& b = run.background;
    for (int i = 0; i < 256 && (b.fading || b.FadeLevel != 0); ++i) {
      scene::UpdateBackground(b, context.NowMs());
    }
    scene::RefreshClocks(run.clocks, context, true);
    if (cover == kHidden) {
      scene::Rto().HideEntity(run.coverPlane, 1);
    } else {
      b.fadeStep = cover;
      scene::FadeOutStep(b);
    }
  }
  void Frame() {
    scene::UpdateFlakeField(run.field, context.random);
    scene::UpdateBackground(run.background, context.NowMs());
    scene::Rto().RenderWorld();
    screen.Finish();
  }
};

void BM_RunFrame(benchmark::State& state) {
  RunScene frames(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                  state.range(2) != 0);
  for (auto _ : state) frames.Frame();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RunFrame)
    ->ArgsProduct({{2000}, {0, kHidden, 128}, {1, 0}})
    ->ArgNames({"flakes", "cover", "clocks"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2.0);

// The bare OpenGL program: the picture plane, the cover (-1: not drawn) and the flakes, in the
// form the engine was asked for (trilinear picture, a window with depth) or the cheapest form of
// the same pixels.
void BM_CeilingFrame(benchmark::State& state) {
  ceiling::Options o;
  o.picture = FirstPicture();
  o.flakes = static_cast<int>(state.range(0));
  o.cover = state.range(1) != kHidden;
  o.coverAlpha = o.cover ? static_cast<int>(state.range(1)) : 0;
  o.cheapest = state.range(2) != 0;
  if (!ceiling::Open(o)) std::abort();
  for (auto _ : state) {
    ceiling::Frame();
    ceiling::Finish();
  }
  state.SetItemsProcessed(state.iterations());
  ceiling::Close();
}
BENCHMARK(BM_CeilingFrame)
    ->ArgsProduct({{2000}, {0, kHidden, 128}, {0, 1}})
    ->ArgNames({"flakes", "cover", "cheapest"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 1;
  flurrixtest::UseLinkedEngine();
  if (scene::Rto().InitEngine3D() == 0) return 1;
  app::LoadBuiltInPictures();
  const bool plain = argc == 3 && std::strcmp(argv[1], "--plain-frames") == 0;
  if (plain || (argc == 3 && std::strcmp(argv[1], "--frames") == 0)) {
    RunScene frames(2000, 0, !plain);
    for (int i = std::atoi(argv[2]); i > 0; --i) frames.Frame();
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--ceiling-frames") == 0) {
    ceiling::Options o;
    o.picture = FirstPicture();
    o.cover = false;
    o.cheapest = true;
    if (!ceiling::Open(o)) return 1;
    for (int i = std::atoi(argv[2]); i > 0; --i) {
      ceiling::Frame();
      ceiling::Finish();
    }
    ceiling::Close();
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--ceiling-seconds") == 0) {
    ceiling::Options o;
    o.picture = FirstPicture();
    if (!ceiling::Open(o)) return 1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    while (std::chrono::steady_clock::now() < end) {
      ceiling::Frame();
      ceiling::Finish();
    }
    ceiling::Close();
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
