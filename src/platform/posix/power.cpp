// Suspending through systemd-logind on the system bus. Without a system bus or logind the
// computer counts as not allowed to sleep, and nothing happens.
#include <systemd/sd-bus.h>

#include <cstring>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr const char* kLogin = "org.freedesktop.login1";
constexpr const char* kLoginPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";

}  // namespace

bool SuspendAllowed() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return false;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  const char* answer = nullptr;
  const bool allowed =
      sd_bus_call_method(bus, kLogin, kLoginPath, kManager, "CanSuspend", &error, &reply, "") >=
          0 &&
      sd_bus_message_read(reply, "s", &answer) >= 0 && answer && std::strcmp(answer, "yes") == 0;
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
