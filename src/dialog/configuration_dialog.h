// The configuration dialog: every setting on nine pages; OK checks the entries, writes them
// into the settings and saves config.ini; Cancel and the close box change nothing.
#pragma once

#include <cstdint>

#include "settings/settings.h"

namespace dialog {

// Runs the dialog until it is closed. `ownerWindow` (an HWND on Windows, an X11 window id on
// Linux; 0: none) is disabled while the dialog is open and the dialog stays above it.
void OpenConfigurationDialog(settings::Settings& s, int64_t ownerWindow);

}  // namespace dialog
