// No pointer over the run: a Wayland client decides the cursor over its own surfaces, and the
// run's shows none. Every seat with a pointer is asked for it, and each time the pointer enters
// one of the run's surfaces its cursor is set to nothing.
#pragma once

#include <cstdint>
#include <map>

struct wl_pointer;
struct wl_registry;
struct wl_seat;

namespace screen {

class HiddenPointer {
 public:
  HiddenPointer() = default;
  ~HiddenPointer();
  HiddenPointer(const HiddenPointer&) = delete;
  HiddenPointer& operator=(const HiddenPointer&) = delete;

  // A wl_seat global announced by the registry, or one that went away.
  void AddSeat(wl_registry* registry, uint32_t name);
  void RemoveSeat(uint32_t name);

  // A seat's capabilities: whether it has a pointer now.
  void Capabilities(uint32_t name, bool pointer);
  // Lets go of every seat: before the connection closes.
  void ReleaseAll();

 private:
  struct Seat {
    HiddenPointer* owner = nullptr;
    uint32_t name = 0;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
  };
  static void Release(Seat& s);
  std::map<uint32_t, Seat> seats_;  // by the global's name; addresses stay while they live
};

}  // namespace screen
