// Ending at once on a termination signal, for a run whose host stops it with SIGTERM: whatever
// the run is doing (loading pictures, waiting for a frame), its files go and the process ends.
#include <signal.h>
#include <unistd.h>

#include "platform/platform.h"

namespace platform {
namespace {

std::vector<std::string>& FilesToRemove() {
  static std::vector<std::string> files;
  return files;
}

void EndNow(int) {
  // Only async-signal-safe calls here: the list was filled before the handler was set.
  for (const std::string& file : FilesToRemove()) unlink(file.c_str());
  _exit(0);
}

}  // namespace

void EndOnTermination(const std::vector<std::string>& filesToRemove) {
  FilesToRemove() = filesToRemove;
  struct sigaction action {};
  action.sa_handler = EndNow;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace platform
