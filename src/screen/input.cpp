#include "screen/input.h"

#include <algorithm>

namespace screen {

bool InputState::Released(int code) {
  if (down_[code]) {
    seenDown_[code] = true;
    return false;
  }
  if (seenDown_[code]) {
    seenDown_[code] = false;
    return true;
  }
  return false;
}

bool InputState::KeyReleased(int code) {
  if (code == kAnyKey) {
    bool any = false;
    for (int c = 0; c < kKeyCount - 1; ++c) any = Released(c) || any;
    return any;
  }
  return code >= 0 && code < kKeyCount && Released(code);
}

void InputState::SetScreenSize(int32_t width, int32_t height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
}

void InputState::PlaceMouse(int32_t x, int32_t y) {
  mouseX_ = std::clamp(x, 0, width_ - 1);
  mouseY_ = std::clamp(y, 0, height_ - 1);
}

void InputState::AddMouseMotion(int32_t dx, int32_t dy, int32_t wheel) {
  PlaceMouse(static_cast<int32_t>(std::clamp<int64_t>(int64_t{mouseX_} + dx, 0, width_ - 1)),
             static_cast<int32_t>(std::clamp<int64_t>(int64_t{mouseY_} + dy, 0, height_ - 1)));
  wheel_ = wheel;
}

}  // namespace screen
