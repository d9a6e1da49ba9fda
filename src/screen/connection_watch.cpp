#include "screen/connection_watch.h"

#include <poll.h>
#include <unistd.h>

namespace screen {

ConnectionWatch::~ConnectionWatch() {
  if (thread_.joinable()) {
    const char stop = 0;
    if (write(stop_[1], &stop, 1) == 1) {
      thread_.join();
    } else {
      thread_.detach();
    }
  }
  for (int fd : stop_) {
    if (fd >= 0) close(fd);
  }
}

bool ConnectionWatch::Start(int descriptor, std::function<void()> hungUp) {
  if (thread_.joinable() || pipe(stop_) != 0) return false;
  const int stop = stop_[0];
  thread_ = std::thread([descriptor, stop, hungUp = std::move(hungUp)] {
    pollfd watched[2] = {{descriptor, POLLRDHUP, 0}, {stop, POLLIN, 0}};
    while (poll(watched, 2, -1) < 0) {
    }
    if (watched[1].revents == 0 && (watched[0].revents & (POLLRDHUP | POLLHUP | POLLERR))) {
      hungUp();
    }
  });
  return true;
}

}  // namespace screen
