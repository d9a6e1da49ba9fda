// Windows starts a screensaver by its switches alone: no host hands it a window to run in.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

uint64_t HostWindow(const std::vector<std::string>&) {
  return 0;
}

namespace {

HWND Handle(uint64_t window) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(window));
}

}  // namespace

bool HostWindowSize(uint64_t host, int32_t& width, int32_t& height) {
  RECT client{};
  if (!IsWindow(Handle(host)) || !GetClientRect(Handle(host), &client)) return false;
  width = client.right - client.left;
  height = client.bottom - client.top;
  return width > 0 && height > 0;
}

bool EmbedWindow(uint64_t child, uint64_t host) {
  int32_t width = 0, height = 0;
  if (!HostWindowSize(host, width, height) || !IsWindow(Handle(child))) return false;
  SetWindowLongPtrW(Handle(child), GWL_STYLE, WS_CHILD | WS_VISIBLE);
  SetParent(Handle(child), Handle(host));
  return MoveWindow(Handle(child), 0, 0, width, height, TRUE) != 0;
}

}  // namespace platform
