// Reading the X root window's pixels (or the screensaver host's picture of the desktop it
// covers), and the preview window inside a host window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace platform {
namespace {

Display* OpenDisplay() {
  const char* name = std::getenv("DISPLAY");
  return name && *name ? XOpenDisplay(nullptr) : nullptr;
}

// X errors (a window that is gone, an area off the screen) are noted instead of ending the
// program, for as long as one of these lives.
class TrapErrors {
 public:
  TrapErrors() : previous_(XSetErrorHandler(&Note)) { failed_ = false; }
  ~TrapErrors() { XSetErrorHandler(previous_); }
  bool Failed(Display* display) {
    XSync(display, False);
    return failed_;
  }

 private:
  static int Note(Display*, XErrorEvent*) {
    failed_ = true;
    return 0;
  }
  static inline bool failed_ = false;
  int (*previous_)(Display*, XErrorEvent*);
};

// One colour channel of a pixel value as 0..255, by the visual's mask.
uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long top = mask >> shift;
  return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / top);
}

unsigned long PixelValue(const uint8_t* bgrx, const Visual* visual) {
  auto place = [](uint8_t value, unsigned long mask) {
    if (mask == 0) return 0ul;
    const int shift = std::countr_zero(mask);
    return ((static_cast<unsigned long>(value) * (mask >> shift) + 127) / 255) << shift;
  };
  return place(bgrx[2], visual->red_mask) | place(bgrx[1], visual->green_mask) |
         place(bgrx[0], visual->blue_mask);
}

// Copies `image` into `pixels` with its top-left corner at (atX, atY), cut to both.
void Paint(ScreenPixels& pixels, XImage* image, int atX, int atY, const Visual* visual) {
  for (int y = std::max(atY, 0); y < std::min(atY + image->height, pixels.height); ++y) {
    uint8_t* out = pixels.bgrx.data() + (static_cast<size_t>(y) * pixels.width) * 4;
    for (int x = std::max(atX, 0); x < std::min(atX + image->width, pixels.width); ++x) {
      const unsigned long pixel = XGetPixel(image, x - atX, y - atY);
      out[x * 4] = Channel(pixel, visual->blue_mask);
      out[x * 4 + 1] = Channel(pixel, visual->green_mask);
      out[x * 4 + 2] = Channel(pixel, visual->red_mask);
    }
  }
}

// XScreenSaver's grabDesktopImages: whether the user lets display modes show the desktop while
// the screen is blanked (or locked). The user's ~/.xscreensaver, else the installed defaults;
// no answer is no.
bool HostMayShowDesktop() {
  const char* home = std::getenv("HOME");
  for (const std::string& path : {std::string(home ? home : "") + "/.xscreensaver",
                                  std::string("/etc/X11/app-defaults/XScreenSaver")}) {
    std::FILE* file = OpenFile(path, "r");
    if (!file) continue;
    char line[512];
    std::optional<bool> allowed;
    while (!allowed && std::fgets(line, sizeof line, file)) {
      std::string_view text(line);
      if (text.starts_with("*")) text.remove_prefix(1);
      if (!text.starts_with("grabDesktopImages:")) continue;
      text.remove_prefix(text.find(':') + 1);
      while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
      allowed =
          !text.empty() && std::string_view("TtYy1").find(text.front()) != std::string_view::npos;
      if (text.starts_with("on") || text.starts_with("On")) allowed = true;
    }
    std::fclose(file);
    if (allowed) return *allowed;
  }
  return false;
}

// XScreenSaver keeps, on each of its shown windows, the picture of the desktop it covered
// (property _SCREENSAVER_SCREENSHOT, a pixmap of the window's size): painted where the windows
// are, they give back the desktop. Unshown windows hold pictures of an earlier blanking.
void PaintHostScreenshots(Display* display, Window root, ScreenPixels& pixels,
                          const Visual* visual) {
  const Atom screenshot = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", True);
  Window rootReturn = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (screenshot == None || !XQueryTree(display, root, &rootReturn, &parent, &children, &count))
    return;
  for (unsigned int i = 0; i < count; ++i) {
    TrapErrors trap;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    XWindowAttributes attributes{};
    if (XGetWindowProperty(display, children[i], screenshot, 0, 1, False, XA_PIXMAP, &type, &format,
                           &items, &left, &data) == Success &&
        data && type == XA_PIXMAP && format == 32 && items == 1 &&
        XGetWindowAttributes(display, children[i], &attributes) &&
        attributes.map_state == IsViewable && !trap.Failed(display)) {
      const Pixmap pixmap = *reinterpret_cast<const unsigned long*>(data);
      if (XImage* image = XGetImage(display, pixmap, 0, 0, attributes.width, attributes.height,
                                    AllPlanes, ZPixmap)) {
        if (!trap.Failed(display)) Paint(pixels, image, attributes.x, attributes.y, visual);
        XDestroyImage(image);
      }
    }
    if (data) XFree(data);
  }
  if (children) XFree(children);
}

}  // namespace

std::optional<ScreenPixels> CaptureDesktop(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  Display* display = OpenDisplay();
  if (!display) return std::nullopt;
  const int screen = DefaultScreen(display);
  const Visual* visual = DefaultVisual(display, screen);
  const Window root = RootWindow(display, screen);
  // Only the area that exists on the root window.
  const int w = std::min(width, DisplayWidth(display, screen));
  const int h = std::min(height, DisplayHeight(display, screen));
  std::optional<ScreenPixels> result;
  TrapErrors trap;
  XImage* image = XGetImage(display, root, 0, 0, w, h, AllPlanes, ZPixmap);
  if (image && !trap.Failed(display)) {
    ScreenPixels& pixels = result.emplace();
    pixels.width = w;
    pixels.height = h;
    pixels.bgrx.resize(static_cast<size_t>(w) * h * 4);
    Paint(pixels, image, 0, 0, visual);
    // A screensaver host covers the desktop before it starts us: where it kept a picture of what
    // it covered, that picture is the desktop.
    if (HostMayShowDesktop()) PaintHostScreenshots(display, root, pixels, visual);
  }
  if (image) XDestroyImage(image);
  XCloseDisplay(display);
  return result;
}

void ShowPreview(int64_t host, const ScreenPixels& picture) {
  if (host == 0) return;
  Display* display = OpenDisplay();
  if (!display) return;
  const int screen = DefaultScreen(display);
  Visual* visual = DefaultVisual(display, screen);
  const Window hostWindow = static_cast<Window>(host);
  Window child = 0;
  // Errors later on (the host gone while the child is resized or drawn) are ignored too.
  TrapErrors trap;
  {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, hostWindow, &attributes) && !trap.Failed(display)) {
      child = XCreateSimpleWindow(display, hostWindow, 0, 0, std::max(attributes.width, 1),
                                  std::max(attributes.height, 1), 0, BlackPixel(display, screen),
                                  BlackPixel(display, screen));
      // The host's size changes reach the child through the host's structure events.
      XSelectInput(display, hostWindow, StructureNotifyMask);
      XSelectInput(display, child, ExposureMask | StructureNotifyMask);
      XMapWindow(display, child);
      if (trap.Failed(display)) child = 0;
    }
  }
  if (!child) {
    XCloseDisplay(display);
    return;
  }

  // The picture in the server's pixel format.
  const int depth = DefaultDepth(display, screen);
  XImage* image = picture.width > 0 && picture.height > 0
                      ? XCreateImage(display, visual, depth, ZPixmap, 0, nullptr, picture.width,
                                     picture.height, 32, 0)
                      : nullptr;
  if (image) {
    image->data = static_cast<char*>(std::calloc(image->bytes_per_line, picture.height));
    for (int y = 0; y < picture.height; ++y) {
      const uint8_t* in = picture.bgrx.data() + static_cast<size_t>(y) * picture.width * 4;
      for (int x = 0; x < picture.width; ++x, in += 4)
        XPutPixel(image, x, y, PixelValue(in, visual));
    }
  }
  const GC gc = XCreateGC(display, child, 0, nullptr);

  // Until the child is destroyed, with its host or by the host.
  for (bool open = true; open;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == Expose && event.xexpose.window == child && event.xexpose.count == 0 &&
        image) {
      XPutImage(display, child, gc, image, 0, 0, 0, 0, picture.width, picture.height);
    } else if (event.type == ConfigureNotify && event.xconfigure.window == hostWindow) {
      XResizeWindow(display, child, std::max(event.xconfigure.width, 1),
                    std::max(event.xconfigure.height, 1));
    } else if (event.type == DestroyNotify) {
      open = false;
    }
  }
  XFreeGC(display, gc);
  if (image) XDestroyImage(image);
  XCloseDisplay(display);
}

}  // namespace platform
