// The role of a run's surface where the compositor offers no layer-shell (GNOME): an xdg-shell
// toplevel, full screen on one output, with no decorations and the program's app id, by which
// the GNOME Shell extension finds its windows and places them above everything.
#pragma once

#include <cstdint>
#include <functional>

struct wl_output;
struct wl_surface;
struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;

namespace screen {

// The app id of the run's windows: the name of the program's desktop entry.
inline constexpr const char* kAppId = "flurrix";

// Answers the compositor's pings, without which it takes the program for hung.
void AnswerPings(xdg_wm_base* base);

class FullScreenToplevel {
 public:
  // `configured` gets the size the compositor chose (0 x 0: none yet), once acknowledged;
  // `closed` that the compositor asked the window to close.
  FullScreenToplevel(xdg_wm_base* base, wl_surface* surface, wl_output* output,
                     std::function<void(int32_t, int32_t)> configured,
                     std::function<void()> closed);
  ~FullScreenToplevel();
  FullScreenToplevel(const FullScreenToplevel&) = delete;
  FullScreenToplevel& operator=(const FullScreenToplevel&) = delete;

  // Listeners of the xdg surface and the toplevel.
  void Configure(int32_t width, int32_t height);
  void ConfigureDone(uint32_t serial);
  void CloseRequested() { closed_(); }

 private:
  xdg_surface* surface_ = nullptr;
  xdg_toplevel* toplevel_ = nullptr;
  std::function<void(int32_t, int32_t)> configured_;
  std::function<void()> closed_;
  int32_t width_ = 0;  // what the latest toplevel configure said, applied at its xdg configure
  int32_t height_ = 0;
};

}  // namespace screen
