// TCP over IPv4 with Winsock, started on first use. Every socket is non-blocking, so that no call
// can hang: the waits are select() with a time-out.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/platform.h"
#include "platform/sockets_start.h"

namespace platform {

bool StartSockets() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

namespace {

SOCKET AsSocket(Socket socket) {
  return static_cast<SOCKET>(socket);
}

// Waits until `socket` can be read (or written); a failed connect shows in the exception set.
// 1 ready, 0 time-out, -1 failure.
int SelectOne(SOCKET socket, bool forWriting, uint32_t timeoutMs) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket, &ready);
  FD_SET(socket, &failed);
  timeval wait{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
  const int count = forWriting ? select(0, nullptr, &ready, &failed, &wait)
                               : select(0, &ready, nullptr, &failed, &wait);
  if (count == SOCKET_ERROR) return -1;
  return count > 0 ? 1 : 0;
}

}  // namespace

Socket ConnectTcp(uint32_t address, uint16_t port, uint32_t timeoutMs) {
  if (!StartSockets()) return kNoSocket;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return kNoSocket;
  u_long nonBlocking = 1;
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr.s_addr = htonl(address);
  if (ioctlsocket(s, FIONBIO, &nonBlocking) == 0) {
    if (connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
      return static_cast<Socket>(s);
    }
    if (WSAGetLastError() == WSAEWOULDBLOCK && SelectOne(s, true, timeoutMs) == 1) {
      int error = 0;
      int length = sizeof error;
      if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
          error == 0) {
        return static_cast<Socket>(s);
      }
    }
  }
  closesocket(s);
  return kNoSocket;
}

bool SendAll(Socket socket, std::string_view data, uint32_t timeoutMs) {
  const SOCKET s = AsSocket(socket);
  while (!data.empty()) {
    const int chunk = data.size() > 65536 ? 65536 : static_cast<int>(data.size());
    const int sent = send(s, data.data(), chunk, 0);
    if (sent > 0) {
      data.remove_prefix(static_cast<size_t>(sent));
    } else if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
      if (SelectOne(s, true, timeoutMs) != 1) return false;
    } else {
      return false;
    }
  }
  return true;
}

int WaitReadable(Socket socket, uint32_t timeoutMs) {
  return SelectOne(AsSocket(socket), false, timeoutMs);
}

int64_t Receive(Socket socket, char* buffer, size_t size) {
  const int chunk = size > 65536 ? 65536 : static_cast<int>(size);
  const int got = recv(AsSocket(socket), buffer, chunk, 0);
  return got == SOCKET_ERROR ? -1 : got;
}

void CloseSocket(Socket socket) {
  if (socket != kNoSocket) closesocket(AsSocket(socket));
}

}  // namespace platform
