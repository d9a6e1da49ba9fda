#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace platform {

std::string LastErrorText() {
  return errno != 0 ? std::strerror(errno) : "";
}

}  // namespace platform
