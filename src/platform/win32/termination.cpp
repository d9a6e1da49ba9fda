// Windows ends a screensaver through its windows, never by a termination signal.
#include "platform/platform.h"

namespace platform {

void EndOnTermination(const std::vector<std::string>&) {}

}  // namespace platform
