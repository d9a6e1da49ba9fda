#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace webtest {
namespace {

// A TCP socket bound to 127.0.0.1 on a free port; -1 on failure.
int BoundSocket(uint16_t& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    return -1;
  }
  port = ntohs(address.sin_port);
  return fd;
}

bool Readable(int fd, int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, timeoutMs) > 0;
}

}  // namespace

LoopbackServer::LoopbackServer(ServerScript script) : script_(std::move(script)) {
  listener_ = BoundSocket(port_);
  if (listener_ >= 0 && listen(listener_, 8) == 0) thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackServer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackServer::Serve() {
  while (!stop_) {
    if (!Readable(listener_, 20)) continue;
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    Answer(client);
    close(client);
  }
}

void LoopbackServer::Answer(int client) {
  std::string request;
  char chunk[512];
  while (!stop_ && request.find("\r\n\r\n") == std::string::npos) {
    if (!Readable(client, 20)) continue;
    const ssize_t got = recv(client, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<size_t>(got));
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }
  if (!script_.reply.empty()) {
    send(client, script_.reply.data(), script_.reply.size(), MSG_NOSIGNAL);
  }
  // Holding on until the client closes (or the test ends), trickling blanks if asked to.
  const int waitMs = script_.trickleMs ? static_cast<int>(script_.trickleMs) : 20;
  while (script_.holdOpen && !stop_) {
    if (Readable(client, waitMs) && recv(client, chunk, sizeof chunk, 0) <= 0) break;
    if (script_.trickleMs && send(client, " ", 1, MSG_NOSIGNAL) != 1) break;
  }
}

uint16_t RefusedPort() {
  uint16_t port = 0;
  const int fd = BoundSocket(port);
  if (fd >= 0) close(fd);
  return port;
}

FullListener::FullListener() {
  listener_ = BoundSocket(port_);
  if (listener_ < 0 || listen(listener_, 0) != 0) {
    port_ = 0;
    return;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  // Connect until an attempt no longer completes: from then on the queue is full.
  for (int i = 0; i < 16; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) break;
    fillers_.push_back(fd);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    pollfd entry{fd, POLLOUT, 0};
    if (poll(&entry, 1, 200) == 0) return;
  }
  port_ = 0;
}

FullListener::~FullListener() {
  for (const int fd : fillers_) close(fd);
  if (listener_ >= 0) close(listener_);
}

}  // namespace webtest
