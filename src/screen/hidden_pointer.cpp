#include "screen/hidden_pointer.h"

#include <wayland-client.h>

namespace screen {
namespace {

// Version 1 of wl_seat and wl_pointer: the requests and events used here are all in it, and a
// compositor sends a version 1 pointer none of the later events.
const wl_pointer_listener kPointerListener = [] {
  wl_pointer_listener listener{};
  listener.enter = [](void*, wl_pointer* pointer, uint32_t serial, wl_surface*, wl_fixed_t,
                      wl_fixed_t) { wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0); };
  listener.leave = [](void*, wl_pointer*, uint32_t, wl_surface*) {};
  listener.motion = [](void*, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {};
  listener.button = [](void*, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t) {};
  listener.axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {};
  return listener;
}();

}  // namespace

HiddenPointer::~HiddenPointer() {
  ReleaseAll();
}

void HiddenPointer::ReleaseAll() {
  for (auto& [name, s] : seats_) Release(s);
  seats_.clear();
}

void HiddenPointer::Release(Seat& s) {
  if (s.pointer) wl_pointer_destroy(s.pointer);
  if (s.seat) wl_seat_destroy(s.seat);
  s.pointer = nullptr;
  s.seat = nullptr;
}

void HiddenPointer::AddSeat(wl_registry* registry, uint32_t name) {
  static const wl_seat_listener kSeatListener = {
      [](void* data, wl_seat*, uint32_t capabilities) {
        auto* s = static_cast<Seat*>(data);
        s->owner->Capabilities(s->name, (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0);
      },
      [](void*, wl_seat*, const char*) {},
  };
  Seat& s = seats_[name];
  if (s.seat) return;
  s.owner = this;
  s.name = name;
  s.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  wl_seat_add_listener(s.seat, &kSeatListener, &s);
}

void HiddenPointer::RemoveSeat(uint32_t name) {
  const auto found = seats_.find(name);
  if (found == seats_.end()) return;
  Release(found->second);
  seats_.erase(found);
}

void HiddenPointer::Capabilities(uint32_t name, bool pointer) {
  Seat& s = seats_.at(name);
  if (pointer && !s.pointer) {
    s.pointer = wl_seat_get_pointer(s.seat);
    wl_pointer_add_listener(s.pointer, &kPointerListener, &s);
  } else if (!pointer && s.pointer) {
    wl_pointer_destroy(s.pointer);
    s.pointer = nullptr;
  }
}

}  // namespace screen
