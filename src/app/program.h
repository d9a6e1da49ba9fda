#pragma once

#include <string>
#include <vector>

namespace app {

// The whole program: start-up, the one mode its switch selects, and the end. Returns the
// process's exit code, which is 0 in every mode.
int RunProgram(const std::vector<std::string>& args);

}  // namespace app
