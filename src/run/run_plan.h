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

// Where a run draws.
enum class Placement {
  kFullScreen,      // a screen of its own on every monitor; its own input and exit conditions
  kHostWindow,      // inside a screensaver host's window (XScreenSaver, xsecurelock)
  kWaylandOutputs,  // a surface on every Wayland output (idle daemons, lockers, a Shell extension)
};

// Where a run draws and what the program hands it besides the settings.
struct RunSetup {
  Placement placement = Placement::kFullScreen;
  uint64_t hostWindow = 0;                              // kHostWindow: the host's window
  std::span<const images::EmbeddedFile> builtInFlakes;  // the flake pictures built into the program
  std::string desktopPicture;  // the desktop's picture, when not the settings folder's own

  static RunSetup FullScreen(std::span<const images::EmbeddedFile> builtInFlakes) {
    return {Placement::kFullScreen, 0, builtInFlakes, ""};
  }
};

struct RunPlan {
  scene::ScenePlan scene;
  ExitRules exit;
  MusicPlan music;
  std::string screenshotFolder;  // where F12 saves the screen
};

// The plan of a run with settings `s` set up as `setup`: Random wind is drawn from `random`; the
// setup's built-in flakes must outlive the plan.
RunPlan MakeRunPlan(const settings::Settings& s, scene::RandomGenerator& random,
                    const RunSetup& setup = {});

}  // namespace run
