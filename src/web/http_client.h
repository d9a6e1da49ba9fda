// A minimal blocking HTTP/1.0 client: fetches one small resource and returns the short token at
// the start of its body.
#pragma once

#include <cstdint>
#include <string>

namespace web {

inline constexpr const char* kBuiltInUserAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; en)";

// The time bounds of one exchange. Tests shorten them.
struct FetchLimits {
  uint32_t idleMs = 10000;   // the connection attempt, and every wait for data
  uint32_t totalMs = 30000;  // the whole exchange, however the server trickles
  uint32_t pollMs = 20;      // the sleep between two looks at the connection
};

// The parts of an address that a request needs. Only "scheme://[user@]host[:port][/path][?...]"
// is understood; the request path always starts with "/".
struct UrlParts {
  std::string host;
  uint16_t port = 80;
  std::string path;
  bool valid = false;  // false without "://", with a port outside 1..65535, or with blanks
                       // or control characters
};
UrlParts SplitUrl(const std::string& url);

// The request bytes for `parts`, in the order servers have always been sent them.
std::string BuildRequest(const UrlParts& parts, const std::string& userAgent);

// The token of a raw response: the body (after the first blank line, up to any further one),
// blanks trimmed at both ends, its first three characters. Empty without a blank line.
std::string TokenFromResponse(const std::string& response);

// Fetches `url` and returns the token of its response, or "" on any failure. An empty
// `userAgent` sends kBuiltInUserAgent.
std::string FetchToken(const std::string& url, const std::string& userAgent,
                       const FetchLimits& limits = {});

}  // namespace web
