#include "run/exit_conditions.h"

#include "settings/modes.h"

namespace run {
namespace {

bool AnyKey(screen::InputState& input) {
  return input.KeyReleased(screen::kAnyKey);
}

RunEnd EndedIf(bool ended) {
  return ended ? RunEnd::kExitCondition : RunEnd::kRunning;
}

}  // namespace

bool MouseMoved(const screen::InputState& input) {
  return input.MouseX() > kMouseStartX + kMouseSlack ||
         input.MouseX() < kMouseStartX - kMouseSlack ||
         input.MouseY() > kMouseStartY + kMouseSlack ||
         input.MouseY() < kMouseStartY - kMouseSlack || input.MouseWheelDelta() != 0;
}

RunEnd ExitTest(screen::InputState& input, const ExitRules& rules, int64_t elapsedMs) {
  switch (rules.exiton) {
    case settings::kExitOnMouse:
      return EndedIf(MouseMoved(input));
    case settings::kExitOnAnyKey:
      return EndedIf(AnyKey(input));
    case settings::kExitOnEscape:
      return EndedIf(input.KeyReleased(screen::kKeyEscape));
    case settings::kExitOnTimer:
      return EndedIf(MouseMoved(input) || AnyKey(input) || elapsedMs > rules.timerMs);
    case settings::kExitOnSleep:
      if (MouseMoved(input) || AnyKey(input)) return RunEnd::kExitCondition;
      return elapsedMs > rules.sleepMs ? RunEnd::kSleepTimer : RunEnd::kRunning;
    default:
      return RunEnd::kRunning;
  }
}

void SleepAfterRun(RunEnd end, const scene::RunContext& context) {
  // Only the sleep timer of `exiton` 4 ends a run this way.
  if (end != RunEnd::kSleepTimer) return;
  if (context.SuspendAllowed()) context.Suspend();
}

}  // namespace run
