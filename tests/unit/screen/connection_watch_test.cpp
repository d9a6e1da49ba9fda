// The watch that ends a Wayland run whose compositor is gone, on a socket pair whose far end
// closes while nothing reads the near one (as when the run is blocked in a swap).
#include "screen/connection_watch.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>

namespace screen {
namespace {

struct SocketPair {
  int ends[2] = {-1, -1};
  SocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0); }
  ~SocketPair() {
    for (int end : ends) {
      if (end >= 0) close(end);
    }
  }
  void ClosePeer() {
    close(ends[1]);
    ends[1] = -1;
  }
};

TEST(ConnectionWatch, CallsTheHandlerOnceThePeerHangsUpAndNeverAfterItStops) {
  SocketPair pair;
  std::promise<void> hungUp;
  std::future<void> seen = hungUp.get_future();
  {
    ConnectionWatch watch;
    ASSERT_TRUE(watch.Start(pair.ends[0], [&hungUp] { hungUp.set_value(); }));
    char byte = 'x';
    ASSERT_EQ(write(pair.ends[1], &byte, 1), 1);  // data waiting unread is not a hang-up
    EXPECT_EQ(seen.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    pair.ClosePeer();
    EXPECT_EQ(seen.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  }

  SocketPair quiet;
  bool called = false;
  {
    ConnectionWatch watch;
    ASSERT_TRUE(watch.Start(quiet.ends[0], [&called] { called = true; }));
  }  // stopped while the peer is still there
  quiet.ClosePeer();
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace screen
