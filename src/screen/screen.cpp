#include "screen/screen.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace screen {
namespace {

constexpr double kMostHz = 1000;

// FLURRIX_REFRESH_HZ in millihertz: -1 when unset, 0 (with a message) when it is no rate.
int32_t RefreshFromEnvironment() {
  const char* text = std::getenv("FLURRIX_REFRESH_HZ");
  if (!text) return -1;
  char* end = nullptr;
  const double hz = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(hz >= 1 && hz <= kMostHz)) {
    static bool told = false;
    if (!told) {
      std::fprintf(stderr,
                   "flurrix: FLURRIX_REFRESH_HZ=%s is not a refresh rate of 1 to %.0f Hz; "
                   "the system's rate is used\n",
                   text, kMostHz);
    }
    told = true;
    return 0;
  }
  return static_cast<int32_t>(std::lround(hz * 1000));
}

}  // namespace

int32_t Screen::RefreshMilliHz() const {
  const int32_t given = RefreshFromEnvironment();
  if (given > 0) return given;
  const int32_t system = SystemRefreshMilliHz();
  return system >= 1000 && system <= kMostHz * 1000 ? system : 0;
}

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
