// Whether a full-screen run ends, by the `exiton` setting, and the sleep after a run.
#pragma once

#include <cstdint>
#include <functional>

#include "scene/input.h"
#include "settings/settings.h"

namespace run {

// The mouse left the box 50..150 around the start point (100, 100), or the wheel moved.
bool MouseMoved(const scene::InputState& input);

// The exit test of one frame. `elapsedMs` is the time since the run started; exitontimer and
// exitonsleep hold milliseconds during a run. Sets `sleepRequested` when the sleep timer ends it.
bool ExitTest(scene::InputState& input, const settings::Settings& s, int64_t elapsedMs,
              bool& sleepRequested);

// How the computer is put to sleep; tests record the requests instead.
struct PowerService {
  std::function<bool()> suspendAllowed;
  std::function<void()> suspend;
};
// Replaces the power service; an empty one restores the platform's. Returns the previous one.
PowerService SetPowerService(PowerService service);

// After a run: suspends when `exiton` is 4, the sleep timer ended the run and the system allows.
void SleepAfterRun(const settings::Settings& s, bool sleepRequested);

}  // namespace run
