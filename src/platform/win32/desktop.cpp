// The primary desktop's size and colour depth, the monitors, the display's modes, and owner
// windows.
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

std::vector<DesktopMode> ListDisplayModes() {
  std::vector<DesktopMode> modes;
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i) {
    modes.push_back({static_cast<int32_t>(mode.dmPelsWidth),
                     static_cast<int32_t>(mode.dmPelsHeight),
                     static_cast<int32_t>(mode.dmBitsPerPel)});
  }
  return modes;
}

int64_t DialogOwner(int64_t handle) {
  HWND window = handle ? GetParent(reinterpret_cast<HWND>(static_cast<intptr_t>(handle)))
                       : GetForegroundWindow();
  return reinterpret_cast<intptr_t>(window);
}

void EnableWindowInput(int64_t window, bool enable) {
  if (window) EnableWindow(reinterpret_cast<HWND>(static_cast<intptr_t>(window)), enable);
}

void FocusWindow(int64_t window) {
  if (window) SetFocus(reinterpret_cast<HWND>(static_cast<intptr_t>(window)));
}

}  // namespace platform
