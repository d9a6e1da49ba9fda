#pragma once

#include <cstdint>

#include "run/run_driver.h"
#include "settings/settings.h"

namespace app {

// The full-screen mode: what is prepared before a run and restored after it, the sleep after a
// run ended by the sleep timer, and the configuration dialog after a run ended with F3.
void RunWrapper(settings::Settings& s);

// The run inside a screensaver host's window (XScreenSaver, xsecurelock) or on Wayland's outputs
// (an idle daemon, a locker): the same scene and settings, no cursor, sleep or dialog of our own;
// ends when the host ends the program or its display goes away.
void RunHosted(settings::Settings& s, run::Placement placement, uint64_t hostWindow);

}  // namespace app
