// How a run paces itself: at most 60 presented frames a second (30 on battery), the snow and the
// slide show stepped by the clock at 60 steps a second whatever the screen's speed, and a rest
// while the display is off. Pure logic over the run's clock, so that tests drive it.
#pragma once

#include <cstdint>

#include "scene/run_context.h"

namespace run {

inline constexpr int64_t kStepsPerSecond = 60;
inline constexpr int32_t kMaxStepsPerFrame = 4;  // a stall never makes the snow jump
inline constexpr int32_t kPresentsPerSecond = 60;
inline constexpr int32_t kBatteryPresentsPerSecond = 30;
inline constexpr int64_t kRestMs = 250;  // input and exit checks while the display is off

struct FramePlan {
  int32_t steps = 0;  // flake and background steps to take
  bool draw = true;   // render and present (false while the display is off)
};

class FramePacer {
 public:
  // The first frame may start at `now`; `context` answers whether the display is on and whether
  // the machine runs on battery, and outlives the pacer.
  FramePacer(int64_t now, const scene::RunContext& context);
  // Milliseconds to wait before the next frame starts.
  int64_t WaitMs(int64_t now) const;
  // Plans the frame that starts at `now`.
  FramePlan Begin(int64_t now);

 private:
  void Poll(int64_t now);

  const scene::RunContext* context_;
  int64_t origin_;        // when step 0 was due
  int64_t stepsDue_ = 0;  // steps counted since `origin_`, taken or skipped
  int64_t nextFrameUs_;   // earliest start of the next frame, in microseconds
  int64_t lastDisplayPoll_;
  int64_t lastBatteryPoll_;
  bool displayOn_ = true;
  bool resting_ = false;
  bool onBattery_ = false;
};

}  // namespace run
