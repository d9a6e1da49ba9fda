// Windows ends a screensaver through its windows, never by a termination signal, and runs one
// copy at a time: no other copy shares its files.
#include "platform/platform.h"

namespace platform {

void EndOnTermination(const std::vector<std::string>&) {}

void DeferTermination(bool) {}

bool TerminationRequested() {
  return false;
}

void JoinFolderUsers(const std::string&) {}

bool LeaveFolderUsers() {
  return true;
}

}  // namespace platform
