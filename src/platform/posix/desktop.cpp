// The desktop's monitors and modes from the X server, or a fixed full-HD mode when there is no
// display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>
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

// RandR's monitors, else Xinerama's heads, else the whole screen; the primary first.
std::vector<Monitor> Monitors(Display* display) {
  std::vector<Monitor> monitors;
  int event = 0, error = 0, count = 0;
  if (XRRQueryExtension(display, &event, &error)) {
    if (XRRMonitorInfo* info = XRRGetMonitors(display, DefaultRootWindow(display), True, &count)) {
      for (int i = 0; i < count; ++i) {
        const Monitor m{info[i].x, info[i].y, info[i].width, info[i].height};
        if (info[i].primary) {
          monitors.insert(monitors.begin(), m);
        } else {
          monitors.push_back(m);
        }
      }
      XRRFreeMonitors(info);
    }
  }
  // A server whose RandR knows one output may still join several heads with Xinerama.
  if (monitors.size() <= 1 && XineramaIsActive(display)) {
    if (XineramaScreenInfo* heads = XineramaQueryScreens(display, &count)) {
      if (count > 1) {
        monitors.clear();
        for (int i = 0; i < count; ++i) {
          monitors.push_back({heads[i].x_org, heads[i].y_org, heads[i].width, heads[i].height});
        }
      }
      XFree(heads);
    }
  }
  if (monitors.empty()) {
    const int screen = DefaultScreen(display);
    monitors.push_back({0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
  }
  return monitors;
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

std::vector<Monitor> ListMonitors() {
  std::vector<Monitor> monitors;
  if (Display* display = OpenDisplay()) {
    monitors = Monitors(display);
    XCloseDisplay(display);
  }
  return monitors;
}

DesktopMode QueryDesktop() {
  DesktopMode mode{1920, 1080, 32};
  if (Display* display = OpenDisplay()) {
    const Monitor primary = Monitors(display).front();
    mode.width = primary.width;
    mode.height = primary.height;
    mode.depth = BitsPerPixel(display, DefaultDepth(display, DefaultScreen(display)));
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
