#include "web/http_client.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace web {
namespace {

// Only the start of a response is looked at; the resource is a few bytes long.
constexpr size_t kBufferSize = 2048;

// The response is 8-bit text; each byte is one character (Latin-1), turned into UTF-8.
std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

// Reads into `buffer` until the server closes, the buffer is full, no data came for
// limits.idleMs, or the exchange begun at `start` has lasted limits.totalMs. Returns the count.
size_t ReadResponse(platform::Socket socket, char* buffer, const FetchLimits& limits,
                    uint64_t start) {
  size_t used = 0;
  uint64_t lastData = platform::MonotonicMs();
  while (used < kBufferSize && platform::MonotonicMs() - start < limits.totalMs) {
    const int ready = platform::WaitReadable(socket, 0);
    if (ready < 0) break;
    if (ready > 0) {
      const int64_t got = platform::Receive(socket, buffer + used, kBufferSize - used);
      if (got <= 0) break;
      used += static_cast<size_t>(got);
      lastData = platform::MonotonicMs();
      continue;
    }
    platform::SleepMs(limits.pollMs);
    if (platform::MonotonicMs() - lastData > limits.idleMs) break;
  }
  return used;
}

}  // namespace

UrlParts SplitUrl(const std::string& url) {
  UrlParts parts;
  // Blanks and control characters would break the request lines (or add lines to them).
  for (const char c : url) {
    if (static_cast<unsigned char>(c) <= ' ') return parts;
  }
  const size_t scheme = url.find("://");
  if (scheme == std::string::npos) return parts;
  size_t hostStart = scheme + 3;
  const size_t pathSlash = url.find('/', hostStart);
  const size_t at = url.find('@', hostStart);
  if (at != std::string::npos && at < pathSlash) hostStart = at + 1;

  // A ":" after the path's start belongs to the path, not to a port.
  const size_t colon = url.find(':', hostStart);
  const bool hasPort = colon != std::string::npos && colon < pathSlash;
  const size_t hostEnd = hasPort ? colon : std::min(pathSlash, url.size());
  parts.host = url.substr(hostStart, hostEnd - hostStart);

  if (hasPort) {
    // Decimal digits up to the first other character, as a number field reads them.
    uint32_t port = 0;
    for (size_t i = colon + 1; i < url.size() && url[i] >= '0' && url[i] <= '9'; ++i) {
      port = port * 10 + static_cast<uint32_t>(url[i] - '0');
      if (port > 65535) return parts;
    }
    if (port == 0) return parts;
    parts.port = static_cast<uint16_t>(port);
  }

  if (pathSlash == std::string::npos) {
    parts.path.push_back('/');
  } else {
    parts.path = url.substr(pathSlash, url.find('?', pathSlash) - pathSlash);
  }
  parts.valid = true;
  return parts;
}

std::string BuildRequest(const UrlParts& parts, const std::string& userAgent) {
  return "GET " + parts.path + " HTTP/1.0\r\n" + "Host: " + parts.host + "\r\n" +
         "Accept: */*\r\n" + "User-Agent: " + userAgent + "\r\n" + "Connection: close\r\n\r\n";
}

std::string TokenFromResponse(const std::string& response) {
  const std::string_view text(response.c_str());  // up to the first zero byte
  const size_t blank = text.find("\r\n\r\n");
  if (blank == std::string_view::npos) return {};
  std::string_view body = text.substr(blank + 4);
  body = body.substr(0, body.find("\r\n\r\n"));
  const size_t first = body.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  body = body.substr(first, body.find_last_not_of(' ') + 1 - first);
  return Latin1ToUtf8(body.substr(0, 3));
}

std::string FetchToken(const std::string& url, const std::string& userAgent,
                       const FetchLimits& limits) {
  if (url.empty()) return {};
  const UrlParts parts = SplitUrl(url);
  if (!parts.valid) return {};
  const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBufferSize]());
  if (!buffer) return {};

  const uint64_t start = platform::MonotonicMs();
  const std::optional<uint32_t> address = platform::ResolveIPv4(parts.host);
  if (!address) return {};
  const platform::Socket socket =
      platform::ConnectTcp(*address, parts.port, std::min(limits.idleMs, limits.totalMs));
  if (socket == platform::kNoSocket) return {};

  size_t used = 0;
  const std::string request =
      BuildRequest(parts, userAgent.empty() ? kBuiltInUserAgent : userAgent);
  if (platform::SendAll(socket, request, limits.idleMs)) {
    used = ReadResponse(socket, buffer.get(), limits, start);
  }
  platform::CloseSocket(socket);
  return TokenFromResponse(std::string(buffer.get(), used));
}

}  // namespace web
