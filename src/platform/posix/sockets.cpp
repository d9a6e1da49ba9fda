// TCP over IPv4 with BSD sockets. Every socket is non-blocking, so that no call can hang: the
// waits are poll() with a time-out.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/sockets_start.h"

namespace platform {
namespace {

// poll() on one descriptor, restarted after signals. 1 when `events` are ready (or the socket
// reports an error or hang-up), 0 on time-out, -1 on failure.
int PollOne(int fd, short events, uint32_t timeoutMs) {
  pollfd entry{fd, events, 0};
  const uint64_t deadline = MonotonicMs() + timeoutMs;
  while (true) {
    const uint64_t now = MonotonicMs();
    const int wait = now >= deadline ? 0 : static_cast<int>(deadline - now);
    const int ready = poll(&entry, 1, wait);
    if (ready >= 0) return ready > 0 ? 1 : 0;
    if (errno != EINTR) return -1;
  }
}

}  // namespace

bool StartSockets() {
  return true;
}

Socket ConnectTcp(uint32_t address, uint16_t port, uint32_t timeoutMs) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return kNoSocket;
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr.s_addr = htonl(address);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) return fd;
  if (errno == EINPROGRESS && PollOne(fd, POLLOUT, timeoutMs) == 1) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) return fd;
  }
  close(fd);
  return kNoSocket;
}

bool SendAll(Socket socket, std::string_view data, uint32_t timeoutMs) {
  const int fd = static_cast<int>(socket);
  while (!data.empty()) {
    const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      data.remove_prefix(static_cast<size_t>(sent));
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (PollOne(fd, POLLOUT, timeoutMs) != 1) return false;
    } else {
      return false;
    }
  }
  return true;
}

int WaitReadable(Socket socket, uint32_t timeoutMs) {
  return PollOne(static_cast<int>(socket), POLLIN, timeoutMs);
}

int64_t Receive(Socket socket, char* buffer, size_t size) {
  while (true) {
    const ssize_t got = recv(static_cast<int>(socket), buffer, size, 0);
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

void CloseSocket(Socket socket) {
  if (socket != kNoSocket) close(static_cast<int>(socket));
}

}  // namespace platform
