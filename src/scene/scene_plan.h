// What the scene of a run shows, resolved once from the settings when the run starts: every value
// in the form and units the scene uses. Each piece of the scene takes its part when it is built
// and keeps what it needs; nothing in a frame reads the settings.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "images/embedded.h"
#include "scene/run_context.h"
#include "settings/settings.h"

namespace scene {

// Which way the wind drives the snow; "Random" is drawn when the plan is made.
enum class Drift : int8_t { kNone, kLeftToRight, kRightToLeft };

struct FlakePlan {
  int32_t count = 0;  // within 0..kMaxFlakes
  float scale = 0;    // of the flake's 2 x 2 unit plane
  int32_t speed = 0;  // the fall and the sway scale with it
  Drift drift = Drift::kNone;
  bool rotate = false;
  std::string pictureFile;    // the user's flake picture; empty for a built-in one
  int32_t builtInNumber = 1;  // "flake1.png" to "flake8.png"
  std::span<const images::EmbeddedFile> builtInFiles;  // as built into the program
};

struct BackgroundPlan {
  enum class Source {
    kPictureFolder,  // a slide show of `folder`'s pictures (none: black)
    kDesktop,        // the still `picture` of the desktop, made before the run
    kWallpaper,      // the still `picture` of the wallpaper, made before the run
    kColour,         // `colour` alone
  };
  Source source = Source::kPictureFolder;
  std::string folder;
  std::string picture;
  int32_t colour = 0;  // r + g * 256 + b * 65536; black behind pictures
  int64_t pictureTimeMs = 0;
};

struct AnalogClockPlan {
  bool shown = false;
  int32_t x = 0, y = 0;  // pixels; negative from the right or bottom edge
  int32_t size = 0;
};

struct DigitalClockPlan {
  bool shown = false;
  int32_t x = 0, y = 0;
  int8_t timeFormat = 0;
};

struct CalendarPlan {
  bool shown = false;
  int32_t x = 0, y = 0;
  int32_t size = 0;
  int8_t firstWeekday = 0;
};

struct ForegroundPlan {
  bool textShown = false;
  std::string text;
  int32_t textX = 0, textY = 0;
  bool pictureShown = false;
  std::string pictureFile;
  int32_t pictureX = 0, pictureY = 0;
};

struct ScenePlan {
  std::vector<std::string> resourceFolders;  // where the engine finds fonts and their scripts
  FlakePlan flakes;
  BackgroundPlan background;
  AnalogClockPlan analogClock;
  DigitalClockPlan digitalClock;
  CalendarPlan calendar;
  ForegroundPlan foreground;
};

// The background of `background`: the one place its stored number is read.
BackgroundPlan PlanBackground(const settings::Settings& s);

// The whole scene. Draws the wind from `random` when it is "Random"; `builtInFlakes` must
// outlive the plan.
ScenePlan MakeScenePlan(const settings::Settings& s, RandomGenerator& random,
                        std::span<const images::EmbeddedFile> builtInFlakes);

}  // namespace scene
