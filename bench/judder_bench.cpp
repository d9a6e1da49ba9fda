// How evenly the snow moves on screens of different refresh rates: the run's pacer and its frame
// (the snow's steps, then the flakes handed to the engine at the frame's moment) against a
// simulated screen with vertical sync, whose present waits for the next refresh. One flake falls at
// a constant speed; for each presented frame the benchmark notes the refresh it first shows on and
// the height the engine was handed. Reported, over ten seconds of the simulated clock:
//   judder_pct           the spread (max - min) of the flake's movement per refresh, each frame's
//                        movement over the refreshes since the frame before, in percent of the mean
//   duration_spread_pct  the same spread of the frames' times on screen, in refreshes
//   presents_per_s       the frames presented a second
// No engine or display is needed: the engine's move entry is replaced by one that notes it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "run/pacing.h"
#include "scene/engine_api.h"
#include "scene/run_context.h"
#include "scene/scene.h"
#include "scoped_hook.h"

namespace {

constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kSimulatedNs = 10000 * kNsPerMs;
constexpr int64_t kInputNs = 200000;      // input and exit checks after the steps
constexpr int64_t kRenderNs = 2000000;    // drawing before the present
constexpr int64_t kOvershootNs = 100000;  // a sleep ends this much after it was asked to
constexpr float kFall = 0.01f;            // per step: 6 units in ten seconds, no wrap

float drawnY = 0;

int NoteMove(int, float, float y, float, int) {
  drawnY = y;
  return 1;
}

// The spread of `values` in percent of their mean.
double SpreadPercent(const std::vector<double>& values) {
  if (values.empty()) return 0;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  double sum = 0;
  for (double v : values) sum += v;
  const double mean = sum / static_cast<double>(values.size());
  return mean > 0 ? 100.0 * (*high - *low) / mean : 0;
}

struct Shown {
  int64_t refresh;  // the first refresh the frame is on screen
  float y;
};

void BM_Judder(benchmark::State& state) {
  const int64_t hz = state.range(0);
  flurrixtest::ScopedTable<scene::EngineApi> engine(scene::Rto());
  scene::Rto().MoveEntity2 = NoteMove;
  for (auto _ : state) {
    scene::RunContext context;
    context.displayOn = [] { return true; };
    context.onBattery = [] { return false; };
    scene::SceneState scene;
    scene::FlakeField& field = scene.field;
    field.count = 1;
    field.flakes.assign(2, scene::Flake{});
    field.flakes[1] = {1, 0, 8, 5, 0, kFall, 0, 0, 8, 5};
    auto refreshNs = [hz](int64_t r) { return r * 1000000000 / hz; };

    int64_t nowNs = 0;
    run::FramePacer pacer(0, context, static_cast<int32_t>(hz * 1000));
    std::vector<Shown> shown;
    while (nowNs < kSimulatedNs) {
      const int64_t waitMs = pacer.WaitMs(nowNs / kNsPerMs);
      if (waitMs > 0) nowNs += waitMs * kNsPerMs + kOvershootNs;
      const run::FramePlan plan = pacer.Begin(nowNs / kNsPerMs);
      for (int32_t i = 0; i < plan.steps; ++i) scene::StepSnow(scene, context.random);
      nowNs += kInputNs;
      if (!plan.draw) continue;
      scene::PlaceMoment(scene, plan.fraction);
      nowNs += kRenderNs;
      // The present waits for the next refresh, and the frame is on screen from there.
      int64_t refresh = nowNs * hz / 1000000000;
      while (refreshNs(refresh) < nowNs) ++refresh;
      nowNs = refreshNs(refresh);
      shown.push_back({refresh, drawnY});
    }
    // The first frames start the schedule; a second is left for the pacing to settle.
    std::vector<double> speeds, durations;
    for (size_t i = 1; i < shown.size(); ++i) {
      if (shown[i].refresh < hz) continue;
      const auto refreshes = static_cast<double>(shown[i].refresh - shown[i - 1].refresh);
      durations.push_back(refreshes);
      speeds.push_back(static_cast<double>(shown[i - 1].y - shown[i].y) / refreshes);
    }
    state.counters["judder_pct"] = SpreadPercent(speeds);
    state.counters["duration_spread_pct"] = SpreadPercent(durations);
    state.counters["presents_per_s"] =
        static_cast<double>(shown.size()) * 1e9 / static_cast<double>(kSimulatedNs);
  }
}

BENCHMARK(BM_Judder)
    ->Arg(50)
    ->Arg(60)
    ->Arg(75)
    ->Arg(120)
    ->Arg(144)
    ->Arg(165)
    ->Arg(240)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
