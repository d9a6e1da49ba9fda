#include "screen/screen.h"

namespace screen {

bool Screen::ListDisplayModes() {
  modes_ = Modes();
  modeCursor_ = -1;
  return true;
}

bool Screen::NextDisplayMode() {
  if (modeCursor_ + 1 >= static_cast<int>(modes_.size())) return false;
  ++modeCursor_;
  return true;
}

int32_t Screen::DisplayModeWidth() const {
  return modeCursor_ >= 0 ? modes_[modeCursor_].width : 0;
}

int32_t Screen::DisplayModeHeight() const {
  return modeCursor_ >= 0 ? modes_[modeCursor_].height : 0;
}

int32_t Screen::DisplayModeDepth() const {
  return modeCursor_ >= 0 ? modes_[modeCursor_].depth : 0;
}

void Screen::PollKeyboard() {
  HandleEvents();
  input_.SetKeys(TakeKeys());
}

void Screen::PollMouse() {
  HandleEvents();
  const MouseMotion m = TakeMouseMotion();
  input_.AddMouseMotion(m.dx, m.dy, m.wheel);
}

void Screen::PlaceMouse(int32_t x, int32_t y) {
  HandleEvents();
  TakeMouseMotion();
  input_.PlaceMouse(x, y);
}

void Screen::ResetInput(int32_t width, int32_t height) {
  input_ = InputState{};
  input_.SetScreenSize(width, height);
}

}  // namespace screen
