#include "run/run_plan.h"

#include "settings/modes.h"

namespace run {

RunPlan MakeRunPlan(const settings::Settings& s, scene::RandomGenerator& random,
                    std::span<const images::EmbeddedFile> builtInFlakes) {
  constexpr int64_t kMinuteMs = 60 * 1000;
  RunPlan plan;
  plan.scene = scene::MakeScenePlan(s, random, builtInFlakes);
  plan.exit = {s.exiton, s.exitontimer * kMinuteMs, s.exitonsleep * kMinuteMs};
  plan.music = {s.music != 0, s.musicmode == settings::kMusicFolder, s.musicfile, s.musicfolder,
                s.musicvol * 10};
  plan.screenshotFolder = s.configFolder;
  return plan;
}

}  // namespace run
