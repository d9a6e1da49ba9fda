// The primary desktop's size and colour depth, and the monitors.
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

std::vector<Monitor> ListMonitors() {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR handle, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoW(handle, &info)) return TRUE;
        auto& list = *reinterpret_cast<std::vector<Monitor>*>(data);
        const RECT& r = info.rcMonitor;
        const Monitor m{r.left, r.top, r.right - r.left, r.bottom - r.top};
        if (info.dwFlags & MONITORINFOF_PRIMARY) {
          list.insert(list.begin(), m);
        } else {
          list.push_back(m);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

}  // namespace platform
