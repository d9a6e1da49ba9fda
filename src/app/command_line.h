// Reading the switches the system starts a screensaver with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

enum class Mode { kUninstall, kPreview, kConfigure, kRun, kNothing, kSaveSettings };

// Argument n with its outer blanks removed, "/" turned into "-", upper-cased; empty when absent.
std::string CommandLineArgument(const std::vector<std::string>& args, size_t n);

// The second ":"-separated field of argument n ("-P:1234" gives "1234"); empty without a colon.
std::string HandleField(const std::vector<std::string>& args, size_t n);

// The mode chosen by the first two characters of the normalised first argument. Anything
// unknown, and no argument at all, runs the screensaver.
Mode SelectMode(const std::vector<std::string>& args);

// The window handle of "-P", "-L" and "-C": the ":" field of the first argument, or else the
// second argument; decimal, "$" hexadecimal or "%" binary.
int32_t ParseWindowHandle(const std::vector<std::string>& args);

// True for "--wayland" among the arguments (case and outer blanks ignored), on Linux: the run on
// every Wayland output. Like any other unknown switch, it runs the screensaver elsewhere.
bool WaylandRequested(const std::vector<std::string>& args);

}  // namespace app
