// Whether anyone can see the run and what powers the machine: the X server's DPMS state and
// UPower's OnBattery property on the system bus.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <systemd/sd-bus.h>

#include "platform/platform.h"

namespace platform {
namespace {

// One connection for the process: the question comes four times a second.
Display* DpmsDisplay() {
  static Display* const display = [] {
    Display* d = XOpenDisplay(nullptr);
    int event = 0, error = 0;
    if (d && !DPMSQueryExtension(d, &event, &error)) {
      XCloseDisplay(d);
      d = nullptr;
    }
    return d;
  }();
  return display;
}

}  // namespace

bool DisplayIsOn() {
  Display* display = DpmsDisplay();
  if (!display || !DPMSCapable(display)) return true;
  CARD16 level = DPMSModeOn;
  BOOL enabled = False;
  if (!DPMSInfo(display, &level, &enabled)) return true;
  return !enabled || level == DPMSModeOn;
}

bool OnBattery() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return false;
  // A missing or busy UPower must not hold up a frame.
  sd_bus_set_method_call_timeout(bus, 200000);
  sd_bus_error error = SD_BUS_ERROR_NULL;
  int value = 0;
  const bool known =
      sd_bus_get_property_trivial(bus, "org.freedesktop.UPower", "/org/freedesktop/UPower",
                                  "org.freedesktop.UPower", "OnBattery", &error, 'b', &value) >= 0;
  sd_bus_error_free(&error);
  sd_bus_flush_close_unref(bus);
  return known && value != 0;
}

}  // namespace platform
