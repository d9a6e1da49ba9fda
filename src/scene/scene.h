// One run's scene: the camera, the picture and cover planes, the snow and the overlays, built
// once after the screen has opened.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/background.h"
#include "scene/flake_field.h"
#include "scene/geometry.h"
#include "scene/overlays.h"
#include "scene/run_context.h"
#include "settings/settings.h"

namespace scene {

// The stored values of the settings that a run holds in working units (and of `wind`, whose
// "Random" the run resolves), to be put back at the end: the dialog after F3 would save them.
struct StoredUnits {
  int32_t exitontimer = 0;
  int32_t exitonsleep = 0;
  int32_t pictime = 0;
  int8_t musicvol = 0;
  int8_t wind = 0;
};

// Another monitor's view of the run: a camera drawing on engine screen `screen`, looking at an
// island of the world far along x from every other, where its own picture and cover planes (on the
// shared materials: the same slide and fade) and its own snow lie.
struct MonitorView {
  int32_t screen = 0;
  int32_t camera = 0;
  BackgroundPlanes planes;
  FlakeField field;
};

// How far apart the islands of the monitors lie: no camera sees another's.
inline constexpr float kIslandSpacing = 1000.0f;

struct SceneState {
  int32_t camera = 0;
  int32_t picturePlane = 0;
  int32_t coverPlane = 0;
  Geometry geometry;
  int64_t runStart = 0;
  StoredUnits stored;
  BackgroundState background;
  FlakeField field;
  ClockState clocks;
  CalendarState calendar;
  std::vector<MonitorView> monitors;

  // The primary screen's planes, then each other monitor's.
  std::vector<BackgroundPlanes> Planes() const;
};

// Turns the timer settings into working units: exitontimer and exitonsleep from minutes to
// milliseconds, pictime from seconds to milliseconds, musicvol from tenths to percent. Values
// too large for the working unit saturate.
void ConvertToWorkingUnits(SceneState& scene, settings::Settings& s);
// Puts back the stored values, `wind` included, exactly as they were before the run.
void RestoreStoredUnits(const SceneState& scene, settings::Settings& s);

// Builds the scene for a screen of screenWidth x screenHeight pixels. Starts the time stamps,
// converts the working units, resolves "Random" wind in `s`.
void BuildScene(SceneState& scene, settings::Settings& s, RunContext& context, int32_t screenWidth,
                int32_t screenHeight);

// Adds another monitor of width x height pixels, drawn on engine screen `screen` (1 and up): the
// background as the primary screen shows it (the picture cut to the monitor's shape, not
// stretched) and a snowfall of its own. After BuildScene, before StartBackground.
void AddMonitorView(SceneState& scene, const settings::Settings& s, RunContext& context,
                    int32_t screen, int32_t width, int32_t height);

// One step of every snowfall, the primary's and each other monitor's.
void UpdateSnow(SceneState& scene, const settings::Settings& s, RandomGenerator& random);

}  // namespace scene
