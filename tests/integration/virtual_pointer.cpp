// A pointer of the test's own on the compositor of WAYLAND_DISPLAY (wlroots' virtual pointer), put
// at a place of the output layout, so that a client's surface there has the pointer over it:
//   virtual_pointer X Y WIDTH HEIGHT   the place X, Y of an area WIDTH x HEIGHT (the layout);
//                                      prints "placed" and keeps the pointer until it is ended.
// Ends with 1 when the compositor offers no virtual pointers.
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "virtual_pointer-client-protocol.h"

namespace {

struct Globals {
  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  }
}

void GlobalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {Global, GlobalRemoved};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: virtual_pointer X Y WIDTH HEIGHT\n");
    return 2;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "virtual_pointer: no Wayland compositor\n");
    return 1;
  }
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &globals);
  wl_display_roundtrip(display);
  if (!globals.manager) {
    std::fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointers\n");
    wl_display_disconnect(display);
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
  const auto number = [&](int i) {
    return static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10));
  };
  zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, number(1), number(2), number(3), number(4));
  zwlr_virtual_pointer_v1_frame(pointer);
  if (wl_display_roundtrip(display) < 0) return 1;
  std::printf("placed\n");
  std::fflush(stdout);
  while (wl_display_dispatch(display) >= 0) {
  }
  return 0;
}
