// The update check's response reading: any bytes a server sends give a token of at most three
// characters (at most six bytes of UTF-8), never starting with a blank, and never read past the
// buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "web/http_client.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string response(reinterpret_cast<const char*>(data), size);
  const std::string token = web::TokenFromResponse(response);
  if (token.size() > 6) std::abort();
  if (!token.empty() && token.front() == ' ') std::abort();
  return 0;
}
