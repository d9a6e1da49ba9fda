#include "screen/screen.h"

namespace screen {

void Screen::PollInput() {
  HandleEvents();
  input_.SetKeys(TakeKeys());
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
