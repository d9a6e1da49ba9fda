#include "platform/platform.h"

#include <algorithm>

namespace platform {

std::string NativePath(std::string_view relative) {
  std::string path(relative);
  std::replace(path.begin(), path.end(), '/', kSep);
  return path;
}

}  // namespace platform
