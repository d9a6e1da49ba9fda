// Power on Linux: whether anyone can see the run (the X server's DPMS state), what powers the
// machine (UPower's OnBattery) and suspending through systemd-logind, both on the system bus.
// Without an answer the display counts as on, the machine as on mains and sleep as not allowed.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <systemd/sd-bus.h>

#include <cstring>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr const char* kLogin = "org.freedesktop.login1";
constexpr const char* kLoginPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";

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

bool SuspendAllowed() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return false;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  const char* answer = nullptr;
  const bool allowed = sd_bus_call_method(bus, kLogin, kLoginPath, kManager, "CanSuspend", &error,
                                          &reply, "") >= 0 &&
                       sd_bus_message_read(reply, "s", &answer) >= 0 && answer &&
                       std::strcmp(answer, "yes") == 0;
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  sd_bus_unref(bus);
  return allowed;
}

void Suspend() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  // Not interactive: no password prompt can appear while the screen is black.
  sd_bus_call_method(bus, kLogin, kLoginPath, kManager, "Suspend", &error, nullptr, "b", 0);
  sd_bus_error_free(&error);
  sd_bus_unref(bus);
}

}  // namespace platform
