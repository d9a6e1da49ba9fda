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
  return input.MouseX() > 150 || input.MouseX() < 50 || input.MouseY() > 150 ||
         input.MouseY() < 50 || input.MouseWheelDelta() != 0;
}

RunEnd ExitTest(screen::InputState& input, const settings::Settings& s, int64_t elapsedMs) {
  switch (s.exiton) {
    case settings::kExitOnMouse:
      return EndedIf(MouseMoved(input));
    case settings::kExitOnAnyKey:
      return EndedIf(AnyKey(input));
    case settings::kExitOnEscape:
      return EndedIf(input.KeyReleased(screen::kKeyEscape));
    case settings::kExitOnTimer:
      return EndedIf(MouseMoved(input) || AnyKey(input) || elapsedMs > s.exitontimer);
    case settings::kExitOnSleep:
      if (MouseMoved(input) || AnyKey(input)) return RunEnd::kExitCondition;
      return elapsedMs > s.exitonsleep ? RunEnd::kSleepTimer : RunEnd::kRunning;
    default:
      return RunEnd::kRunning;
  }
}

void SleepAfterRun(const settings::Settings& s, RunEnd end, const scene::RunContext& context) {
  if (s.exiton != settings::kExitOnSleep || end != RunEnd::kSleepTimer) return;
  if (context.SuspendAllowed()) context.Suspend();
}

}  // namespace run
