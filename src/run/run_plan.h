// What one run does, resolved once from the settings when it starts: the scene's part, the exit
// rules and the music, in the units the run works in. The run works from this plan alone; the
// settings record is left as the user saved it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "images/embedded.h"
#include "run/exit_conditions.h"
#include "run/music.h"
#include "scene/run_context.h"
#include "scene/scene_plan.h"
#include "settings/settings.h"

namespace run {

struct RunPlan {
  scene::ScenePlan scene;
  ExitRules exit;
  MusicPlan music;
  std::string screenshotFolder;  // where F12 saves the screen
};

// The plan of a run with settings `s`: Random wind is drawn from `random`; `builtInFlakes` must
// outlive the plan.
RunPlan MakeRunPlan(const settings::Settings& s, scene::RandomGenerator& random,
                    std::span<const images::EmbeddedFile> builtInFlakes);

}  // namespace run
