// A stand-in for the maker's web site: one thread with a listening socket on 127.0.0.1 that
// records each request and answers it as its script says.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace webtest {

struct ServerScript {
  std::string reply;       // sent once the request has arrived
  bool holdOpen = false;   // after the reply, keep the connection until the client leaves
  uint32_t trickleMs = 0;  // with holdOpen: send a blank every trickleMs while holding on
};

class LoopbackServer {
 public:
  explicit LoopbackServer(ServerScript script);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  uint16_t Port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path = "/") const;
  std::vector<std::string> Requests();

 private:
  void Serve();
  void Answer(int client);

  ServerScript script_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A loopback port with nothing listening: connections to it are refused.
uint16_t RefusedPort();

// A listener whose accept queue is full, so that the kernel drops further connection attempts
// (as a host behind a dropping firewall does). Port() is 0 when the queue could not be filled.
class FullListener {
 public:
  FullListener();
  ~FullListener();
  FullListener(const FullListener&) = delete;
  FullListener& operator=(const FullListener&) = delete;
  uint16_t Port() const { return port_; }

 private:
  int listener_ = -1;
  uint16_t port_ = 0;
  std::vector<int> fillers_;
};

}  // namespace webtest
