// Ending at once on a termination signal, for a run whose host stops it with SIGTERM: whatever
// the run is doing (loading pictures, waiting for a frame), its files go and the process ends.
// While the run has switched the display to a mode of its own the signal is deferred: the run
// sees the request in its next frame and closes as usual, which puts the desktop's mode back.
// Copies that share those files (one per monitor under XScreenSaver) count themselves as users
// of the folder that holds them, with a shared lock on it: only the last to leave removes them.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/platform.h"

namespace platform {
namespace {

std::vector<std::string>& FilesToRemove() {
  static std::vector<std::string> files;
  return files;
}

// The folder whose files this copy uses, locked shared; -1 when it uses none.
volatile sig_atomic_t usersFolder = -1;
volatile sig_atomic_t deferring = 0;
volatile sig_atomic_t requested = 0;

// However the normal close goes, the process ends this long after the request.
constexpr unsigned kDeferredEndSeconds = 1;

// Async-signal-safe. Taking the lock for this copy alone succeeds only when no other copy holds
// it. A copy that never joined knows of no other.
bool LeaveUsers() {
  const int folder = usersFolder;
  usersFolder = -1;
  if (folder < 0) return true;
  const bool last = flock(folder, LOCK_EX | LOCK_NB) == 0;
  close(folder);
  return last;
}

void EndNow(int) {
  // Only async-signal-safe calls here: the list was filled before the handler was set.
  if (LeaveUsers()) {
    for (const std::string& file : FilesToRemove()) unlink(file.c_str());
  }
  _exit(0);
}

void OnTermination(int signal) {
  if (!deferring) EndNow(signal);
  requested = 1;
  alarm(kDeferredEndSeconds);
}

}  // namespace

void EndOnTermination(const std::vector<std::string>& filesToRemove) {
  FilesToRemove() = filesToRemove;
  struct sigaction action {};
  action.sa_handler = OnTermination;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
  action.sa_handler = EndNow;
  sigaction(SIGALRM, &action, nullptr);
}

void DeferTermination(bool deferred) {
  deferring = deferred ? 1 : 0;
  if (!deferred && requested) EndNow(0);
}

bool TerminationRequested() {
  return requested != 0;
}

void JoinFolderUsers(const std::string& folder) {
  if (usersFolder >= 0) return;
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  // A copy that is leaving holds the lock alone for the moment it takes to remove the files.
  for (int tries = 0; tries < 100; ++tries) {
    if (flock(descriptor, LOCK_SH | LOCK_NB) == 0) {
      usersFolder = descriptor;
      return;
    }
    usleep(10000);
  }
  close(descriptor);
}

bool LeaveFolderUsers() {
  return LeaveUsers();
}

}  // namespace platform
