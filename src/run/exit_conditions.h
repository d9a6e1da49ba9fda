// Whether a full-screen run ends, by the `exiton` setting, how a run ended, and the sleep after a
// run.
#pragma once

#include <cstdint>

#include "scene/run_context.h"
#include "screen/input.h"
#include "settings/settings.h"

namespace run {

// How a run ended (kRunning while it goes on).
enum class RunEnd {
  kRunning,
  kNotStarted,     // start-up failed; its message has been shown
  kExitCondition,  // the mouse, a key, Esc or the exit timer, as `exiton` says
  kSleepTimer,     // the sleep timer ran out: the computer may go to sleep
  kHomePage,       // F1: the home page has been opened
  kDialog,         // F3: the configuration dialog follows
  kTerminated,     // the system or the host asked the program to end
};

// The mouse left the box 50..150 around the start point (100, 100), or the wheel moved.
bool MouseMoved(const screen::InputState& input);

// The exit test of one frame: kRunning, kExitCondition or kSleepTimer. `elapsedMs` is the time
// since the run started; exitontimer and exitonsleep hold milliseconds during a run.
RunEnd ExitTest(screen::InputState& input, const settings::Settings& s, int64_t elapsedMs);

// After a run: suspends when `exiton` is 4, the sleep timer ended the run and the system allows.
void SleepAfterRun(const settings::Settings& s, RunEnd end, const scene::RunContext& context);

}  // namespace run
