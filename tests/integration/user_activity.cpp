// Tells the compositor of WAYLAND_DISPLAY that the user is active, as a key press would: KWin
// ends its idle time for every idle watcher (swayidle's resume command runs). The KWin test's
// stand-in for typing, since KWin lets no ordinary client type keys. Ends with 0 once the
// compositor has had the request, 1 when it offers no idle protocol.
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "kde_idle-client-protocol.h"

namespace {

struct Globals {
  wl_seat* seat = nullptr;
  org_kde_kwin_idle* idle = nullptr;
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
    globals->idle = static_cast<org_kde_kwin_idle*>(
        wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
  }
}

void GlobalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {Global, GlobalRemoved};

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "user_activity: no Wayland compositor\n");
    return 1;
  }
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &globals);
  wl_display_roundtrip(display);
  if (!globals.seat || !globals.idle) {
    std::fprintf(stderr, "user_activity: the compositor offers no seat or no idle protocol\n");
    wl_display_disconnect(display);
    return 1;
  }
  org_kde_kwin_idle_timeout* timeout =
      org_kde_kwin_idle_get_idle_timeout(globals.idle, globals.seat, 60000);
  org_kde_kwin_idle_timeout_simulate_user_activity(timeout);
  const bool delivered = wl_display_roundtrip(display) >= 0;
  org_kde_kwin_idle_timeout_release(timeout);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return delivered ? 0 : 1;
}
