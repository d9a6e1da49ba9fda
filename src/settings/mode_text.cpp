#include "settings/mode_text.h"

namespace settings {

std::string ModeText(int32_t width, int32_t height, int32_t depth) {
  return std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
}

}  // namespace settings
