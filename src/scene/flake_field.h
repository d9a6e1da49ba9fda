// The snow: a fixed population of flakes, each an engine entity sharing one plane mesh and one
// material on the flake texture, falling, swaying in the wind, creeping towards the viewer and
// wrapping round at the sides and the bottom.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/run_context.h"
#include "scene/scene_plan.h"

namespace scene {

struct Flake {
  int32_t entity = 0;
  float x = 0, y = 0, z = 0;
  float dx = 0;    // sideways movement per step (the sway)
  float fall = 0;  // downward movement per step, fixed for the flake's life
  float dz = 0;    // movement towards the viewer in the last step
  // Where the step before the last left it, moved along with a wrap: a frame between the two
  // draws it on the way.
  float px = 0, py = 0, pz = 0;
};

// The field box in world units.
inline constexpr int32_t kFieldWidth = 23;
inline constexpr int32_t kFieldHeight = 17;
inline constexpr int32_t kFieldDepth = 15;

// The most flakes a run builds, whatever config.ini says: far above the dialog's 2,000, and
// small enough that a hand-edited value cannot exhaust memory or stall the frame. At this cap a
// run at 640 x 360 on a software renderer peaks at about 160 MB (100 MB with 500 flakes) and
// still ends within half a second of a mouse move.
inline constexpr int32_t kMaxFlakes = 100000;

// The largest `flakesize` a run uses: a flake of 2 x 2 units, about a tenth of the screen's height
// where the picture is. Far larger flakes would each cover the whole screen, and blending hundreds
// of screen-filling squares a frame brings a software renderer to a standstill.
inline constexpr int32_t kMaxFlakeSize = 100;

struct FlakeField {
  std::vector<Flake> flakes;  // slot 0 unused; flakes 1..count
  int32_t count = 0;
  int32_t templateEntity = 0;
  int32_t material = 0;
  int32_t mesh = 0;
  int32_t speed = 0;
  Drift drift = Drift::kNone;
  int32_t windFactor = 4;  // 4 for no wind, 10 for either direction
  bool rotate = false;
  float originX = 0;   // where the field's box is centred along x (another monitor's snow)
  int64_t steps = 0;   // taken since the field was built
  double drawnAt = 0;  // the moment last drawn, in steps: the turn since then is still to make
};

// Fills the flake texture with the flake picture: the user's file, or the built-in picture drawn
// into a 16 x 16 texture.
void PrepareFlakeTexture(const FlakePlan& plan);

// Material, mesh, hidden template and every flake at its random start, in a box centred at
// `originX`. The flake texture must be prepared.
void BuildFlakeField(FlakeField& field, const FlakePlan& plan, RandomGenerator& random,
                     float originX = 0);

// Moves every flake by one step; nothing is handed to the engine.
void StepFlakeField(FlakeField& field, RandomGenerator& random);

// Hands the engine every flake `fraction` of the way from where the step before the last left it
// to where the last did (1: there), turned as far as that moment.
void PlaceFlakeField(FlakeField& field, float fraction);

// One step, and the flakes handed to the engine where it leaves them.
void UpdateFlakeField(FlakeField& field, RandomGenerator& random);

}  // namespace scene
