// The uninstall page's window: one check box and one button. FLTK on Linux, Win32 on Windows.
#pragma once

#include <cstdint>
#include <string>

#include "dialog/box.h"

namespace dialog {

struct UninstallPageLayout {
  std::string title;
  std::string checkText;
  std::string buttonText;
  Box window{0, 0, 300, 100};  // centred on the screen
  Box check{30, 20, 250, 20};
  Box button{200, 60, 80, 25};
  bool checked = true;
};

enum class UninstallChoice { kClosed, kNext, kNextTicked };

// The page's controls by the numbers the Windows view gives their windows.
enum UninstallControl : int32_t {
  kUninstallCheck = 127,
  kUninstallNext = 128,  // the default button: Return presses it
};

// Shows the page until its button is clicked or its window is closed. Without a display the
// page cannot be shown and counts as closed.
UninstallChoice ShowUninstallPage(const UninstallPageLayout& layout);

}  // namespace dialog
