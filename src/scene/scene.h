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
#include "scene/scene_plan.h"

namespace scene {

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
  BackgroundState background;
  FlakeField field;
  ClockState clocks;
  CalendarState calendar;
  std::vector<MonitorView> monitors;

  // The primary screen's planes, then each other monitor's.
  std::vector<BackgroundPlanes> Planes() const;
};

// Builds the scene of `plan` for a screen of screenWidth x screenHeight pixels and starts the
// time stamps.
void BuildScene(SceneState& scene, const ScenePlan& plan, RunContext& context, int32_t screenWidth,
                int32_t screenHeight);

// Adds another monitor of width x height pixels, drawn on engine screen `screen` (1 and up): the
// background as the primary screen shows it (the picture cut to the monitor's shape, not
// stretched) and a snowfall of its own. After BuildScene, before StartBackground.
void AddMonitorView(SceneState& scene, const FlakePlan& flakes, RunContext& context, int32_t screen,
                    int32_t width, int32_t height);

// One step of every snowfall, the primary's and each other monitor's; nothing is handed to the
// engine.
void StepSnow(SceneState& scene, RandomGenerator& random);
// Hands the engine every snowfall and the cover's fade as they are `fraction` of the way from
// the step before the last to the last (1: where the last step left them).
void PlaceMoment(SceneState& scene, float fraction);
// One step of every snowfall, handed to the engine where it leaves the flakes.
void UpdateSnow(SceneState& scene, RandomGenerator& random);

}  // namespace scene
