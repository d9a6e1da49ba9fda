// Watches a connection hang up from a thread of its own, without reading from it, and calls the
// handler once when it does. A Wayland run uses it to end when its compositor is gone even while
// Mesa blocks in a swap that will never return.
#pragma once

#include <functional>
#include <thread>

namespace screen {

class ConnectionWatch {
 public:
  ConnectionWatch() = default;
  // Stops watching; the handler is not called after this returns.
  ~ConnectionWatch();
  ConnectionWatch(const ConnectionWatch&) = delete;
  ConnectionWatch& operator=(const ConnectionWatch&) = delete;

  // Starts watching `descriptor`; `hungUp` runs on the watching thread. False when no thread
  // could be started.
  bool Start(int descriptor, std::function<void()> hungUp);

 private:
  std::thread thread_;
  int stop_[2] = {-1, -1};  // a pipe: a byte in it ends the watch
};

}  // namespace screen
