// The single-instance guard: an exclusive flock on a per-user lock file. The kernel drops the
// lock when the process ends in any way, so a killed copy never blocks the next one.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"

namespace platform {
namespace {

int guardFd = -1;

std::string LockPath(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') return std::string(runtime) + "/" + name + ".lock";
  // The temp folder is shared between users: keep each user's guard apart.
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && tmp[0] == '/' ? tmp : "/tmp";
  return folder + "/" + name + "-" + std::to_string(getuid()) + ".lock";
}

}  // namespace

bool AcquireInstanceGuard(const std::string& name) {
  if (guardFd >= 0) return true;
  int fd = open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  guardFd = fd;
  return true;
}

void ReleaseInstanceGuard() {
  if (guardFd < 0) return;
  close(guardFd);  // closing drops the lock
  guardFd = -1;
}

}  // namespace platform
