// Start-up of a run: from the program's own start-up steps to the first presented frame, headless
// at 1920 x 1080 through SDL's offscreen driver, with the engine loaded from the build folder as
// the program loads it.
//
//   startup_bench [benchmark flags]  SaverRun::Start and the first Frame, timed in process
//   startup_bench --once [FOLDER]    one start, first frame and finish, for timing the whole
//                                    process from exec with an outside tool; FOLDER (with its
//                                    separator) holds the engine and data/ instead of the build
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/builtin_pictures.h"
#include "run/run_driver.h"
#include "settings/settings.h"
#include "text/language_table.h"

namespace {

// The settings as the program makes them without a config.ini, beside the build's engine.
settings::Settings ProgramSettings(const std::string& folder = FLURRIX_BUILD_DIR "/") {
  settings::Settings s;
  s.desktopWidth = 1920;
  s.desktopHeight = 1080;
  s.desktopDepth = 32;
  s.configFolder = (std::filesystem::temp_directory_path() / "").string();
  settings::SetDefaults(s, {folder, 0});
  return s;
}

// The first frame is presented whether or not it ends the run.
bool StartAndFirstFrame(run::SaverRun& saver, settings::Settings& s) {
  if (!saver.Start(s, run::RunSetup::FullScreen(app::BuiltInFiles()))) return false;
  saver.Frame();
  return true;
}

void BM_StartAndFirstFrame(benchmark::State& state) {
  for (auto _ : state) {
    settings::Settings s = ProgramSettings();
    scene::RunContext context;
    run::SaverRun saver(context);
    if (!StartAndFirstFrame(saver, s)) state.SkipWithError("the run did not start");
    state.PauseTiming();
    saver.Finish();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartAndFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
  text::GlobalLanguageTable();
  app::LoadBuiltInPictures();
  if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "--once") == 0) {
    settings::Settings s = argc == 3 ? ProgramSettings(argv[2]) : ProgramSettings();
    scene::RunContext context;
    run::SaverRun saver(context);
    const bool shown = StartAndFirstFrame(saver, s);
    saver.Finish();
    return shown ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
