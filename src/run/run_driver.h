// One run: locate and start the engine, open the screen, make the run's plan and build its scene,
// run frame by frame until an exit condition holds, and close.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "run/exit_conditions.h"
#include "run/music.h"
#include "run/pacing.h"
#include "run/run_plan.h"
#include "scene/run_context.h"
#include "scene/scene.h"
#include "screen/screen.h"
#include "settings/settings.h"

namespace run {

// Finds the folder holding the engine library: `Path`, the program-files folder, the current
// folder, then "" (the system's library search). Sets `Path` to the folder that has it. False when
// none has it.
bool LocateEngine(settings::Settings& s);

class SaverRun {
 public:
  // `context` gives the run its clock, dates, random draws and the system's answers; it outlives
  // the run.
  explicit SaverRun(scene::RunContext& context);
  ~SaverRun();

  // Start-up up to the first frame: the one step that reads the settings. It keeps two things it
  // settles in them: `Path` where the engine was found, and the desktop's mode when the configured
  // one is not offered (a later save keeps them). In a host's window or on Wayland's outputs the
  // host or the idle daemon owns the input and ends the run (a termination signal), so no
  // function key or exit condition applies. False after a failure, whose message has been shown.
  bool Start(settings::Settings& s, const RunSetup& setup = {});
  // One frame; false when the run ends.
  bool Frame();
  // Stops the music and closes the screen.
  void Finish();

  // How the run ended; kRunning until it has.
  RunEnd End() const { return end_; }
  const RunPlan& plan() const { return plan_; }
  const scene::SceneState& scene() const { return scene_; }
  // The opened screen's drawable size.
  int32_t ScreenWidth() const;
  int32_t ScreenHeight() const;

  // Saves the frame on the screen, foreground picture included, as a 24-bit BMP file. False when
  // it could not be made.
  bool Screenshot(const std::string& path);

 private:
  bool Open(settings::Settings& s, const RunSetup& setup);
  bool OpenOwnScreen(settings::Settings& s);
  bool OpenEngineScreen();
  // Builds the scene for the surfaces the screen has now.
  void BuildViews();
  // The surfaces changed (outputs came, went or changed size): the scene is built again.
  void Rebuild();
  // Draws the other monitors' views, each into its own surface, and makes the primary current.
  void DrawOtherMonitors();
  // Shows the frame drawn so far (the engine presents it) and handles the windows' events.
  void PresentFrame();
  void ShowForeground();
  RunEnd FunctionKeys();

  scene::RunContext& context_;
  RunPlan plan_;
  std::unique_ptr<screen::Screen> screen_;
  scene::SceneState scene_;
  MusicState music_;
  FramePacer pacer_;
  RunEnd end_ = RunEnd::kRunning;
  bool engineScreenOpen_ = false;
  bool sceneBuilt_ = false;
  bool hosted_ = false;
};

// Start, frames until the run ends, finish; how it ended.
RunEnd Run(settings::Settings& s, scene::RunContext& context, const RunSetup& setup = {});

}  // namespace run
