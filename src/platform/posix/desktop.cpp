// The desktop's mode from the X server, or a fixed full-HD mode when there is no display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

#include "platform/platform.h"

namespace platform {
namespace {

Display* OpenDisplay() {
  const char* name = std::getenv("DISPLAY");
  return name && *name ? XOpenDisplay(nullptr) : nullptr;
}

// X reports the visual's depth (24 for true colour); the program counts storage bits (32).
int BitsPerPixel(Display* display, int depth) {
  int count = 0;
  int bits = depth;
  if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
    for (int i = 0; i < count; ++i) {
      if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    }
    XFree(formats);
  }
  return bits;
}

}  // namespace

bool HasDisplay() {
  static const bool hasDisplay = [] {
    Display* display = OpenDisplay();
    if (display) XCloseDisplay(display);
    return display != nullptr;
  }();
  return hasDisplay;
}

DesktopMode QueryDesktop() {
  DesktopMode mode{1920, 1080, 32};
  if (Display* display = OpenDisplay()) {
    int screen = DefaultScreen(display);
    mode.width = DisplayWidth(display, screen);
    mode.height = DisplayHeight(display, screen);
    mode.depth = BitsPerPixel(display, DefaultDepth(display, screen));
    XCloseDisplay(display);
  }
  return mode;
}

}  // namespace platform
