// The desktop's mode and the display's modes from the X server, or a fixed full-HD mode when
// there is no display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

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

std::vector<DesktopMode> ListDisplayModes() {
  std::vector<DesktopMode> modes;
  Display* display = OpenDisplay();
  if (!display) return modes;
  int eventBase = 0, errorBase = 0;
  if (XRRQueryExtension(display, &eventBase, &errorBase)) {
    const Window root = DefaultRootWindow(display);
    const int depth = BitsPerPixel(display, DefaultDepth(display, DefaultScreen(display)));
    if (XRRScreenResources* resources = XRRGetScreenResources(display, root)) {
      // The primary output's modes, or the first connected output's when none is primary.
      RROutput output = XRRGetOutputPrimary(display, root);
      for (int i = 0; !output && i < resources->noutput; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (info && info->connection == RR_Connected) output = resources->outputs[i];
        if (info) XRRFreeOutputInfo(info);
      }
      if (XRROutputInfo* info = output ? XRRGetOutputInfo(display, resources, output) : nullptr) {
        for (int m = 0; m < info->nmode; ++m) {
          for (int k = 0; k < resources->nmode; ++k) {
            const XRRModeInfo& mode = resources->modes[k];
            if (mode.id != info->modes[m]) continue;
            modes.push_back(
                {static_cast<int32_t>(mode.width), static_cast<int32_t>(mode.height), depth});
          }
        }
        XRRFreeOutputInfo(info);
      }
      XRRFreeScreenResources(resources);
    }
  }
  XCloseDisplay(display);
  return modes;
}

int64_t DialogOwner(int64_t handle) {
  return handle;
}

void EnableWindowInput(int64_t, bool) {}

void FocusWindow(int64_t) {}

}  // namespace platform
