// How a run paces itself: the snow and the slide show stepped by the clock at 60 steps a second
// whatever the screen's speed; frames presented at an even cadence that fits the display (every
// k-th refresh, the highest such rate at or below 90 a second, 45 on battery), each drawn for its
// own moment between two steps; and a rest while the display is off. Pure logic over the run's
// clock, so that tests drive it.
#pragma once

#include <cstdint>

#include "scene/run_context.h"

namespace run {

inline constexpr int64_t kStepsPerSecond = 60;
inline constexpr int32_t kMaxStepsPerFrame = 4;  // a stall never makes the snow jump
inline constexpr int32_t kMostPresentsPerSecond = 90;
inline constexpr int32_t kMostBatteryPresentsPerSecond = 45;
inline constexpr int32_t kAssumedRefreshMilliHz = 60000;  // when the system does not say
inline constexpr int64_t kRestMs = 250;  // input and exit checks while the display is off

struct FramePlan {
  int32_t steps = 0;  // flake and background steps to take
  bool draw = true;   // render and present (false while the display is off)
  // Where the frame's moment lies between the last two steps: 1 on the last step (where it left
  // the snow), towards 0 nearer the step before.
  float fraction = 1;
};

// How many refreshes of a screen of `refreshMilliHz` (0: unknown, taken as 60 Hz) each frame stays
// on screen, so that frames come evenly and at most `mostPerSecond` a second.
int32_t RefreshesPerFrame(int32_t refreshMilliHz, int32_t mostPerSecond);

class FramePacer {
 public:
  // The first frame may start at `now`, on a screen refreshing `refreshMilliHz` times a thousand
  // seconds (0 when unknown); `context` answers whether the display is on and whether the
  // machine runs on battery, and outlives the pacer.
  FramePacer(int64_t now, const scene::RunContext& context, int32_t refreshMilliHz = 0);
  // The screen changed its refresh rate: the frames after the next come at its cadence.
  void SetRefreshMilliHz(int32_t refreshMilliHz);
  // Milliseconds to wait before the next frame starts.
  int64_t WaitMs(int64_t now) const;
  // Plans the frame that starts at `now`.
  FramePlan Begin(int64_t now);

 private:
  void Poll(int64_t now);

  // The schedule counts ticks of 1 / (60 * refresh rate) seconds: a step is refreshMilliHz_
  // ticks and a refresh 60000, so both fall on whole ticks and a 60 Hz frame exactly on a step.
  const scene::RunContext* context_;
  int32_t refreshMilliHz_;
  int64_t origin_;        // when step 0 was due: ticks count from here
  int64_t stepsDue_ = 0;  // steps counted since `origin_`, taken or skipped
  int64_t nextMoment_;    // the next frame's moment, in ticks
  int64_t nextFrameUs_;   // earliest start of the next frame, in microseconds
  int64_t lastDisplayPoll_;
  int64_t lastBatteryPoll_;
  bool displayOn_ = true;
  bool resting_ = false;
  bool onBattery_ = false;
};

}  // namespace run
