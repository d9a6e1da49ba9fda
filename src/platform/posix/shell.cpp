// Opening web and mail addresses with the desktop's own handler.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/platform.h"

namespace platform {

bool OpenAddress(const std::string& address) {
  if (address.empty()) return false;
  // Fork twice so that xdg-open runs detached: never waited for, never left a zombie.
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    if (fork() == 0) {
      setsid();
      int devNull = open("/dev/null", O_RDWR);
      if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
      }
      execlp("xdg-open", "xdg-open", address.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
