#include "screen/xdg_toplevel.h"

#include <wayland-client.h>

#include <algorithm>

#include "xdg_shell-client-protocol.h"

namespace screen {
namespace {

const xdg_wm_base_listener kBaseListener = {
    [](void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

const xdg_surface_listener kSurfaceListener = {
    [](void* data, xdg_surface*, uint32_t serial) {
      static_cast<FullScreenToplevel*>(data)->ConfigureDone(serial);
    },
};

const xdg_toplevel_listener kToplevelListener = {
    [](void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
      static_cast<FullScreenToplevel*>(data)->Configure(width, height);
    },
    [](void* data, xdg_toplevel*) { static_cast<FullScreenToplevel*>(data)->CloseRequested(); },
    // Events of later versions than the one bound.
    [](void*, xdg_toplevel*, int32_t, int32_t) {},
    [](void*, xdg_toplevel*, wl_array*) {},
};

}  // namespace

void AnswerPings(xdg_wm_base* base) {
  xdg_wm_base_add_listener(base, &kBaseListener, nullptr);
}

FullScreenToplevel::FullScreenToplevel(xdg_wm_base* base, wl_surface* surface, wl_output* output,
                                       std::function<void(int32_t, int32_t)> configured,
                                       std::function<void()> closed)
    : configured_(std::move(configured)), closed_(std::move(closed)) {
  surface_ = xdg_wm_base_get_xdg_surface(base, surface);
  xdg_surface_add_listener(surface_, &kSurfaceListener, this);
  toplevel_ = xdg_surface_get_toplevel(surface_);
  xdg_toplevel_add_listener(toplevel_, &kToplevelListener, this);
  xdg_toplevel_set_app_id(toplevel_, kAppId);
  xdg_toplevel_set_fullscreen(toplevel_, output);
  wl_surface_commit(surface);
}

FullScreenToplevel::~FullScreenToplevel() {
  xdg_toplevel_destroy(toplevel_);
  xdg_surface_destroy(surface_);
}

void FullScreenToplevel::Configure(int32_t width, int32_t height) {
  width_ = std::clamp(width, 0, 1 << 15);
  height_ = std::clamp(height, 0, 1 << 15);
}

void FullScreenToplevel::ConfigureDone(uint32_t serial) {
  xdg_surface_ack_configure(surface_, serial);
  configured_(width_, height_);
}

}  // namespace screen
