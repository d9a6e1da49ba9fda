// Host names and dotted addresses to IPv4 addresses: the same getaddrinfo on every system.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include "platform/platform.h"
#include "platform/sockets_start.h"

namespace platform {

std::optional<uint32_t> ResolveIPv4(const std::string& host) {
  if (host.empty() || !StartSockets()) return std::nullopt;
  in_addr dotted{};
  if (inet_pton(AF_INET, host.c_str(), &dotted) == 1) return ntohl(dotted.s_addr);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
  const uint32_t address =
      ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  freeaddrinfo(found);
  return address;
}

}  // namespace platform
