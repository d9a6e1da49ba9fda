#pragma once

#include "settings/settings.h"

namespace app {

// The full-screen mode: what is prepared before a run and restored after it, the sleep after a
// run ended by the sleep timer, and the configuration dialog after a run ended with F3.
void RunWrapper(settings::Settings& s);

}  // namespace app
