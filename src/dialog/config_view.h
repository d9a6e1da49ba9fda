// The configuration dialog's window: mirrors a ConfigModel into controls and hands the user's
// actions back to it. No rule lives here. FLTK on Linux (view/), Win32 on Windows (win32/).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialog/config_model.h"

namespace dialog {

struct ConfigWindowOptions {
  std::string title;
  int32_t width = 0;  // client size in layout pixels, before scaling to the screen's DPI
  int32_t height = 0;
  int64_t owner = 0;  // the owner window, disabled while the dialog is open; 0: none
};

// While it lives, the owner window (0: none) takes no input; afterwards it has it and the focus
// back. Each view holds one while its window is open.
class BlockedOwner {
 public:
  explicit BlockedOwner(int64_t owner);
  ~BlockedOwner();
  BlockedOwner(const BlockedOwner&) = delete;
  BlockedOwner& operator=(const BlockedOwner&) = delete;

 private:
  int64_t owner_;
};

// Shows the filled model until it is closed (OK, Cancel or the close box). False, with nothing
// shown, when there is no display.
bool RunConfigView(ConfigModel& model, const ConfigWindowOptions& options);

// The system's file and folder requesters. `filter` is
// "description|pattern;pattern". Cancelled: empty.
std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter,
                                     const std::string& start, bool multiple);
std::string ChooseFolder(const std::string& title, const std::string& start);

}  // namespace dialog
