// Whether a full-screen run ends, by the `exiton` setting, how a run ended, and the sleep after a
// run.
#pragma once

#include <cstdint>

#include "scene/run_context.h"
#include "screen/input.h"

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

// What ends a full-screen run besides the function keys (`exiton` and its timers).
struct ExitRules {
  int8_t exiton = 0;
  int64_t timerMs = 0;  // exitontimer
  int64_t sleepMs = 0;  // exitonsleep
};

// Where a run puts the pointer when its scene is built, and how far it may move from there.
inline constexpr int32_t kMouseStartX = 100;
inline constexpr int32_t kMouseStartY = 100;
inline constexpr int32_t kMouseSlack = 50;

// The mouse left the box kMouseSlack around the start point, or the wheel moved.
bool MouseMoved(const screen::InputState& input);

// The exit test of one frame: kRunning, kExitCondition or kSleepTimer. `elapsedMs` is the time
// since the run started.
RunEnd ExitTest(screen::InputState& input, const ExitRules& rules, int64_t elapsedMs);

// After a run that the sleep timer ended: suspends when the system allows.
void SleepAfterRun(RunEnd end, const scene::RunContext& context);

}  // namespace run
