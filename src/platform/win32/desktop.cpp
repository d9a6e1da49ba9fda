// The primary desktop's size and colour depth.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

bool HasDisplay() {
  return true;
}

DesktopMode QueryDesktop() {
  DesktopMode mode;
  mode.width = GetSystemMetrics(SM_CXSCREEN);
  mode.height = GetSystemMetrics(SM_CYSCREEN);
  if (HDC screen = GetDC(nullptr)) {
    mode.depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
  }
  return mode;
}

}  // namespace platform
