// XScreenSaver starts a display mode with the window to draw in: "-window-id ID" names it, the
// XSCREENSAVER_WINDOW variable holds the window it made for this monitor, and "-root" asks for
// the root window when neither is given.
#include <X11/Xlib.h>

#include <cerrno>
#include <cstdlib>

#include "platform/platform.h"

namespace platform {
namespace {

// A window id in decimal or "0x" hexadecimal, 0 when the text is not one.
uint64_t ReadWindowId(const char* text) {
  if (!text || !*text) return 0;
  char* end = nullptr;
  errno = 0;
  const unsigned long long id = std::strtoull(text, &end, 0);
  if (errno != 0 || *end != '\0' || text[0] == '-') return 0;
  return id;
}

Display* OpenDisplay() {
  return std::getenv("DISPLAY") ? XOpenDisplay(nullptr) : nullptr;
}

uint64_t RootWindowId() {
  Display* display = OpenDisplay();
  if (!display) return 0;
  const uint64_t root = DefaultRootWindow(display);
  XCloseDisplay(display);
  return root;
}

// A window id that names no window must not end the program through Xlib's default handler.
int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}

bool WindowSize(Display* display, uint64_t window, int32_t& width, int32_t& height) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

}  // namespace

uint64_t HostWindow(const std::vector<std::string>& args) {
  bool root = false;
  for (size_t i = 0; i < args.size(); ++i) {
    // XScreenSaver passes its own arguments with one dash or two.
    const std::string arg = args[i].starts_with("--") ? args[i].substr(1) : args[i];
    if (arg == "-window-id" && i + 1 < args.size()) {
      if (const uint64_t id = ReadWindowId(args[i + 1].c_str())) return id;
    }
    root = root || arg == "-root";
  }
  if (const uint64_t id = ReadWindowId(std::getenv("XSCREENSAVER_WINDOW"))) return id;
  return root ? RootWindowId() : 0;
}

bool HostWindowSize(uint64_t host, int32_t& width, int32_t& height) {
  Display* display = OpenDisplay();
  if (!display) return false;
  XErrorHandler previous = XSetErrorHandler(IgnoreError);
  const bool known = WindowSize(display, host, width, height);
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return known && width > 0 && height > 0;
}

bool EmbedWindow(uint64_t child, uint64_t host) {
  Display* display = OpenDisplay();
  if (!display) return false;
  XErrorHandler previous = XSetErrorHandler(IgnoreError);
  int32_t width = 0, height = 0;
  bool done = WindowSize(display, host, width, height);
  if (done) {
    XReparentWindow(display, child, host, 0, 0);
    XResizeWindow(display, child, width, height);
    XMapRaised(display, child);
  }
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return done;
}

}  // namespace platform
