#pragma once

#include <cstdint>

#include "settings/settings.h"

namespace app {

// The full-screen mode: what is prepared before a run and restored after it, the sleep after a
// run ended by the sleep timer, and the configuration dialog after a run ended with F3.
void RunWrapper(settings::Settings& s);

// The run inside a screensaver host's window (XScreenSaver): the same scene and settings, no
// cursor, sleep or dialog of our own; ends when the host ends the program.
void RunHosted(settings::Settings& s, uint64_t hostWindow);

}  // namespace app
