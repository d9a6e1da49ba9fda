#include "run/run_plan.h"

#include "settings/modes.h"

namespace run {

RunPlan MakeRunPlan(const settings::Settings& s, scene::RandomGenerator& random,
                    const RunSetup& setup) {
  constexpr int64_t kMinuteMs = 60 * 1000;
  RunPlan plan;
  plan.scene = scene::MakeScenePlan(s, random, setup.builtInFlakes);
  scene::BackgroundPlan& background = plan.scene.background;
  if (background.source == scene::BackgroundPlan::Source::kDesktop &&
      !setup.desktopPicture.empty()) {
    background.picture = setup.desktopPicture;
  }
  plan.exit = {s.exiton, s.exitontimer * kMinuteMs, s.exitonsleep * kMinuteMs};
  plan.music = {s.music != 0, s.musicmode == settings::kMusicFolder, s.musicfile, s.musicfolder,
                s.musicvol * 10};
  plan.screenshotFolder = s.configFolder;
  return plan;
}

}  // namespace run
