// The CPU cost of music: forest.mp3 played through the media player in real time, polled once per
// 16 ms frame as the run does, into a sink that keeps time but makes no sound (FLURRIX_AUDIO_SINK
// replaces it). The whole process's CPU time counts, since decoding runs in the player's threads;
// the same loop without music shows what the polling itself costs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>

#include "platform/platform.h"

namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void PlayFor(benchmark::State& state, bool music) {
  setenv("FLURRIX_AUDIO_SINK", "fakesink sync=true", 0);
  platform::StartMedia();
  const std::string path = platform::ProgramFolder() + "data/music/forest.mp3";
  const auto limitMs = static_cast<uint64_t>(state.range(0)) * 1000;
  for (auto _ : state) {
    const double cpuBefore = ProcessCpuSeconds();
    const uint64_t start = platform::MonotonicMs();
    platform::MediaPlayer player = nullptr;
    if (music) {
      player = platform::LoadMedia(path);
      if (!player) {
        state.SkipWithError("forest.mp3 cannot be played");
        break;
      }
      platform::SetMediaVolume(player, 20);
      platform::PlayMedia(player);
    }
    while (platform::MonotonicMs() - start < limitMs) {
      if (player) platform::PollMedia(player);
      platform::SleepMs(16);
    }
    platform::CloseMedia(player);
    const double wall = static_cast<double>(platform::MonotonicMs() - start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    state.SetIterationTime(wall);
    state.counters["cpu_s"] = cpu;
    state.counters["core_percent"] = 100.0 * cpu / wall;
  }
}

void BM_Music(benchmark::State& state) {
  PlayFor(state, true);
}
void BM_NoMusic(benchmark::State& state) {
  PlayFor(state, false);
}

BENCHMARK(BM_Music)->Arg(30)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_NoMusic)->Arg(30)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
