// One full-screen run: locate and start the engine, open the screen, build the scene, run frame by
// frame until an exit condition holds, put the settings back and close.
#pragma once

#include <cstdint>
#include <string>

#include "run/music.h"
#include "run/pacing.h"
#include "scene/scene.h"
#include "settings/settings.h"

namespace run {

// Set when F3 ended the run: the configuration dialog opens after it.
bool& OpenDialogAfterRun();
// Set when the sleep timer ended the run.
bool& SleepRequested();

// Finds the folder holding the engine library: `Path`, the program-files folder, the current
// folder, then "" (the system's library search). Sets `Path` to the folder that has it. False when
// none has it.
bool LocateEngine(settings::Settings& s);

class SaverRun {
 public:
  // Start-up up to the first frame, in a full-screen window of its own or, for a `hostWindow`
  // other than 0, in that window, which a screensaver host made: then the host owns the input and
  // ends the run (a termination signal), so no function key or exit condition applies. False
  // after a failure, whose message has been shown.
  bool Start(settings::Settings& s, uint64_t hostWindow = 0);
  // One frame; false when the run ends.
  bool Frame(settings::Settings& s);
  // Puts the settings back in their stored units and closes the screen.
  void Finish(settings::Settings& s);

  const scene::SceneState& scene() const { return scene_; }

 private:
  void FunctionKeys(settings::Settings& s, bool& exit);

  scene::SceneState scene_;
  MusicState music_;
  FramePacer pacer_{0};
  bool started_ = false;
  bool hosted_ = false;
};

// Start, frames until the run ends, finish.
void Run(settings::Settings& s, uint64_t hostWindow = 0);

// Saves the frame on the screen, foreground picture included, as a 24-bit BMP file. False when
// it could not be made.
bool Screenshot(const std::string& path, const settings::Settings& s);

}  // namespace run
