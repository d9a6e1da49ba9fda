#include "run/exit_conditions.h"

#include "platform/platform.h"
#include "settings/modes.h"

namespace run {
namespace {

PowerService& Power() {
  static PowerService power;
  return power;
}

bool AnyKey(scene::InputState& input) {
  return input.KeyReleased(scene::kAnyKey);
}

}  // namespace

bool MouseMoved(const scene::InputState& input) {
  return input.MouseX() > 150 || input.MouseX() < 50 || input.MouseY() > 150 ||
         input.MouseY() < 50 || input.MouseWheelDelta() != 0;
}

bool ExitTest(scene::InputState& input, const settings::Settings& s, int64_t elapsedMs,
              bool& sleepRequested) {
  switch (s.exiton) {
    case settings::kExitOnMouse:
      return MouseMoved(input);
    case settings::kExitOnAnyKey:
      return AnyKey(input);
    case settings::kExitOnEscape:
      return input.KeyReleased(scene::kKeyEscape);
    case settings::kExitOnTimer:
      return MouseMoved(input) || AnyKey(input) || elapsedMs > s.exitontimer;
    case settings::kExitOnSleep:
      if (MouseMoved(input) || AnyKey(input)) return true;
      if (elapsedMs > s.exitonsleep) {
        sleepRequested = true;
        return true;
      }
      return false;
    default:
      return false;
  }
}

PowerService SetPowerService(PowerService service) {
  PowerService previous = Power();
  Power() = std::move(service);
  return previous;
}

void SleepAfterRun(const settings::Settings& s, bool sleepRequested) {
  if (s.exiton != settings::kExitOnSleep || !sleepRequested) return;
  const PowerService& power = Power();
  const bool allowed = power.suspendAllowed ? power.suspendAllowed() : platform::SuspendAllowed();
  if (!allowed) return;
  if (power.suspend) {
    power.suspend();
  } else {
    platform::Suspend();
  }
}

}  // namespace run
