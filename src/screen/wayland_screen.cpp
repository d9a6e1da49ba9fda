// The screen over Wayland: a layer-shell surface on the overlay layer of every output, above every
// window, anchored to all four edges and sized by the compositor, drawn through EGL with one
// OpenGL 3.3 core context. No input: an idle daemon or a locker owns it and ends the run; a pointer
// over the run shows nothing (hidden_pointer.h). Each surface is drawn at its output's own pixels
// (output_scale.h), so a scaled output is as sharp as an unscaled one. Where the compositor has no
// layer-shell (GNOME), each output gets a full-screen xdg-shell toplevel instead (xdg_toplevel.h),
// which the GNOME Shell extension places above everything.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fractional_scale-client-protocol.h"
#include "layer_shell-client-protocol.h"
#include "screen/connection_watch.h"
#include "screen/hidden_pointer.h"
#include "screen/output_scale.h"
#include "screen/outputs.h"
#include "screen/screen.h"
#include "screen/xdg_toplevel.h"
#include "viewporter-client-protocol.h"
#include "xdg_shell-client-protocol.h"

namespace screen {
namespace {

// What one output and its surface need; kept in a map, so its address stays while it lives.
struct OutputSurface {
  uint32_t name = 0;
  wl_output* output = nullptr;
  std::string label;        // the output's own name ("DP-1"), where the compositor tells it
  int32_t outputScale = 1;  // the output's integer scale, and the one it announced before `done`
  int32_t pendingScale = 1;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  std::unique_ptr<FullScreenToplevel> toplevel;  // the role instead of `layer` without layer-shell
  wp_viewport* viewport = nullptr;  // with `fraction`, where the compositor offers both
  wp_fractional_scale_v1* fraction = nullptr;
  std::vector<wl_output*> entered;  // the outputs the surface is on
  ScaleReports reports;
  int32_t width = 0;  // the compositor's size for the surface, in its units
  int32_t height = 0;
  BufferPlan plan;  // the buffer drawn
  wl_egl_window* window = nullptr;
  EGLSurface egl = EGL_NO_SURFACE;
  EGLDisplay display = EGL_NO_DISPLAY;
  class WaylandScreen* screen = nullptr;
  int32_t refreshMilliHz = 0;  // the output's current mode's; 0 until the compositor says
};

void Present(void* surface) {
  const auto* s = static_cast<OutputSurface*>(surface);
  eglSwapBuffers(s->display, s->egl);
}

void* GlEntry(const char* name) {
  return reinterpret_cast<void*>(eglGetProcAddress(name));
}

class WaylandScreen final : public Screen {
 public:
  ~WaylandScreen() override;

  bool Connect() override;
  // The compositor sizes every surface: there is no mode to choose.
  std::vector<DisplayMode> DisplayModes() override { return {}; }
  bool Open(const OpenRequest& request) override;
  void Close() override;
  int32_t SurfaceCount() const override { return static_cast<int32_t>(ready_.size()); }
  GlSurface SurfaceAt(int32_t index) const override;
  void MakeCurrent(int32_t index) override;
  bool SurfacesChanged() override;
  void HandleEvents() override;
  bool QuitRequested() const override { return quit_; }
  int32_t SystemRefreshMilliHz() const override {
    return ready_.empty() ? 0 : surfaces_.at(ready_[0].name).refreshMilliHz;
  }

  // Listeners of the registry and of the layer surfaces.
  void Global(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
  void GlobalRemoved(uint32_t name);
  void Configured(OutputSurface& s, uint32_t width, uint32_t height);
  void Closed(OutputSurface& s);
  // What the compositor says of scales: an output's, the outputs a surface is on, and the
  // surface's preferred scales. Each redraws what it changed at its new size.
  void OutputDone(OutputSurface& o);
  void Entered(OutputSurface& s, wl_output* output, bool entered);
  void Rescale(OutputSurface& s);

 private:
  bool StartEgl();
  void MakeSurface(OutputSurface& s);
  void DropSurface(OutputSurface& s);
  void Roundtrip();

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  zwlr_layer_shell_v1* shell_ = nullptr;
  wp_viewporter* viewporter_ = nullptr;
  wp_fractional_scale_manager_v1* fractionalScale_ = nullptr;
  xdg_wm_base* wmBase_ = nullptr;
  EGLDisplay egl_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  EGLContext context_ = EGL_NO_CONTEXT;
  std::map<uint32_t, OutputSurface> surfaces_;  // by the output's name
  OutputSet outputs_;
  std::vector<Output> ready_;  // the surfaces drawn on, as the run numbers them
  bool open_ = false;
  bool quit_ = false;
  HiddenPointer pointer_;
  ConnectionWatch watch_;
};

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
      static_cast<WaylandScreen*>(data)->Global(registry, name, interface, version);
    },
    [](void* data, wl_registry*, uint32_t name) {
      static_cast<WaylandScreen*>(data)->GlobalRemoved(name);
    },
};

const zwlr_layer_surface_v1_listener kLayerListener = {
    [](void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
      zwlr_layer_surface_v1_ack_configure(layer, serial);
      auto* s = static_cast<OutputSurface*>(data);
      s->screen->Configured(*s, width, height);
    },
    [](void* data, zwlr_layer_surface_v1*) {
      auto* s = static_cast<OutputSurface*>(data);
      s->screen->Closed(*s);
    },
};

const wl_output_listener kOutputListener = {
    [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
       int32_t) {},
    // The current mode's refresh rate paces the run.
    [](void* data, wl_output*, uint32_t flags, int32_t, int32_t, int32_t refresh) {
      if (flags & WL_OUTPUT_MODE_CURRENT)
        static_cast<OutputSurface*>(data)->refreshMilliHz = refresh;
    },
    [](void* data, wl_output*) {
      auto* o = static_cast<OutputSurface*>(data);
      o->screen->OutputDone(*o);
    },
    [](void* data, wl_output*, int32_t scale) {
      static_cast<OutputSurface*>(data)->pendingScale = std::clamp(scale, 1, 8);
    },
    [](void* data, wl_output*, const char* name) {
      static_cast<OutputSurface*>(data)->label = name;
    },
    [](void*, wl_output*, const char*) {},
};

// wl_surface's events as a compositor of version 6 sends them; this program may be built against
// a libwayland that knows only the first two, and binds version 6 only where the libwayland it
// runs with knows all four.
struct SurfaceListener {
  void (*enter)(void*, wl_surface*, wl_output*);
  void (*leave)(void*, wl_surface*, wl_output*);
  void (*preferredBufferScale)(void*, wl_surface*, int32_t);
  void (*preferredBufferTransform)(void*, wl_surface*, uint32_t);
};

const SurfaceListener kSurfaceListener = {
    [](void* data, wl_surface*, wl_output* output) {
      auto* s = static_cast<OutputSurface*>(data);
      s->screen->Entered(*s, output, true);
    },
    [](void* data, wl_surface*, wl_output* output) {
      auto* s = static_cast<OutputSurface*>(data);
      s->screen->Entered(*s, output, false);
    },
    [](void* data, wl_surface*, int32_t scale) {
      auto* s = static_cast<OutputSurface*>(data);
      s->reports.bufferScale = scale;
      s->screen->Rescale(*s);
    },
    // The compositor turns the picture for a rotated output itself.
    [](void*, wl_surface*, uint32_t) {},
};

const wp_fractional_scale_v1_listener kFractionListener = {
    [](void* data, wp_fractional_scale_v1*, uint32_t scale) {
      auto* s = static_cast<OutputSurface*>(data);
      s->reports.fraction = static_cast<int32_t>(std::min<uint32_t>(scale, 1u << 15));
      s->screen->Rescale(*s);
    },
};

WaylandScreen::~WaylandScreen() {
  Close();
  pointer_.ReleaseAll();
  for (auto& [name, s] : surfaces_) wl_output_destroy(s.output);
  surfaces_.clear();
  if (egl_ != EGL_NO_DISPLAY) {
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(egl_, context_);
    eglTerminate(egl_);
  }
  if (fractionalScale_) wp_fractional_scale_manager_v1_destroy(fractionalScale_);
  if (viewporter_) wp_viewporter_destroy(viewporter_);
  if (shell_) zwlr_layer_shell_v1_destroy(shell_);
  if (wmBase_) xdg_wm_base_destroy(wmBase_);
  if (compositor_) wl_compositor_destroy(compositor_);
  if (registry_) wl_registry_destroy(registry_);
  if (display_) wl_display_disconnect(display_);
}

void WaylandScreen::Global(wl_registry* registry, uint32_t name, const char* interface,
                           uint32_t version) {
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    // Version 6 brings the surface's preferred buffer scale.
    const auto known = static_cast<uint32_t>(wl_compositor_interface.version);
    compositor_ = static_cast<wl_compositor*>(
        wl_registry_bind(registry, name, &wl_compositor_interface, std::min({version, known, 6u})));
  } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
    shell_ = static_cast<zwlr_layer_shell_v1*>(
        wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
  } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
    viewporter_ =
        static_cast<wp_viewporter*>(wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
  } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
    fractionalScale_ = static_cast<wp_fractional_scale_manager_v1*>(
        wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
    pointer_.AddSeat(registry, name);
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    wmBase_ =
        static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    AnswerPings(wmBase_);
  } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
    OutputSurface& s = surfaces_[name];
    s.name = name;
    s.screen = this;
    // Version 2 brings the output's scale.
    s.output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 4u)));
    wl_output_add_listener(s.output, &kOutputListener, &s);
    outputs_.Add(name);
    // An output that comes during the run gets its surface at once.
    if (open_) MakeSurface(s);
  }
}

void WaylandScreen::GlobalRemoved(uint32_t name) {
  pointer_.RemoveSeat(name);
  const auto found = surfaces_.find(name);
  if (found == surfaces_.end()) return;
  wl_output* output = found->second.output;
  DropSurface(found->second);
  surfaces_.erase(found);
  outputs_.Remove(name);
  // Surfaces on it are no longer.
  for (auto& [other, s] : surfaces_) Entered(s, output, false);
  wl_output_destroy(output);
}

// The compositor's size for a surface, acknowledged by its role: the surface drawn at that size
// in its output's pixels.
void WaylandScreen::Configured(OutputSurface& s, uint32_t width, uint32_t height) {
  s.width = static_cast<int32_t>(std::min<uint32_t>(width, 1u << 15));
  s.height = static_cast<int32_t>(std::min<uint32_t>(height, 1u << 15));
  // The surface's size in the compositor's units, whatever the buffer's pixels.
  if (s.viewport && s.width > 0 && s.height > 0) {
    wp_viewport_set_destination(s.viewport, s.width, s.height);
  }
  Rescale(s);
}

void WaylandScreen::Rescale(OutputSurface& s) {
  if (!s.surface) return;
  s.reports.onOutput = !s.entered.empty();
  s.reports.outputScale = s.outputScale;
  if (s.reports.onOutput) {
    s.reports.outputScale = 1;
    for (const auto& [name, o] : surfaces_) {
      if (std::find(s.entered.begin(), s.entered.end(), o.output) != s.entered.end()) {
        s.reports.outputScale = std::max(s.reports.outputScale, o.outputScale);
      }
    }
  }
  const bool viewport = s.viewport != nullptr;
  const BufferPlan plan = PlanBuffer(s.width, s.height, ChooseScale(s.reports, viewport), viewport);
  if (plan == s.plan) return;
  s.plan = plan;
  if (plan.width > 0 && plan.height > 0) {
    // Sent with the next frame's buffer, which has the new size.
    if (!viewport) wl_surface_set_buffer_scale(s.surface, plan.bufferScale);
    if (!s.window) {
      s.window = wl_egl_window_create(s.surface, plan.width, plan.height);
      s.egl = s.window
                  ? eglCreateWindowSurface(egl_, config_,
                                           reinterpret_cast<EGLNativeWindowType>(s.window), nullptr)
                  : EGL_NO_SURFACE;
      if (s.egl == EGL_NO_SURFACE) {
        std::fprintf(stderr, "flurrix: no EGL surface on output %s\n",
                     s.label.empty() ? std::to_string(s.name).c_str() : s.label.c_str());
        return;
      }
      // The run paces itself: a swap never waits for the compositor's frame callback, which an
      // output that is off never sends.
      eglMakeCurrent(egl_, s.egl, s.egl, context_);
      eglSwapInterval(egl_, 0);
    } else {
      wl_egl_window_resize(s.window, plan.width, plan.height, 0, 0);
    }
  }
  outputs_.Configure(s.name, plan.width, plan.height);
}

void WaylandScreen::OutputDone(OutputSurface& o) {
  if (o.outputScale == o.pendingScale) return;
  o.outputScale = o.pendingScale;
  for (auto& [name, s] : surfaces_) Rescale(s);
}

void WaylandScreen::Entered(OutputSurface& s, wl_output* output, bool entered) {
  const auto known = std::find(s.entered.begin(), s.entered.end(), output);
  if (entered && known == s.entered.end()) s.entered.push_back(output);
  if (!entered && known != s.entered.end()) s.entered.erase(known);
  Rescale(s);
}

void WaylandScreen::Closed(OutputSurface& s) {
  DropSurface(s);
  outputs_.Configure(s.name, 0, 0);
}

void WaylandScreen::MakeSurface(OutputSurface& s) {
  if (s.surface) return;
  s.display = egl_;
  s.surface = wl_compositor_create_surface(compositor_);
  wl_proxy_add_listener(
      reinterpret_cast<wl_proxy*>(s.surface),
      reinterpret_cast<void (**)(void)>(const_cast<SurfaceListener*>(&kSurfaceListener)), &s);
  if (viewporter_ && fractionalScale_) {
    s.viewport = wp_viewporter_get_viewport(viewporter_, s.surface);
    s.fraction = wp_fractional_scale_manager_v1_get_fractional_scale(fractionalScale_, s.surface);
    wp_fractional_scale_v1_add_listener(s.fraction, &kFractionListener, &s);
  }
  if (!shell_) {
    s.toplevel = std::make_unique<FullScreenToplevel>(
        wmBase_, s.surface, s.output,
        [this, &s](int32_t width, int32_t height) { Configured(s, width, height); },
        // A toplevel closes when the user or the shell closes the window: the run ends.
        [this] { quit_ = true; });
    return;
  }
  s.layer = zwlr_layer_shell_v1_get_layer_surface(shell_, s.surface, s.output,
                                                  ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "flurrix");
  zwlr_layer_surface_v1_set_anchor(
      s.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                   ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  // Over the whole output, panels included; nothing else is pushed aside.
  zwlr_layer_surface_v1_set_exclusive_zone(s.layer, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(
      s.layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
  zwlr_layer_surface_v1_add_listener(s.layer, &kLayerListener, &s);
  wl_surface_commit(s.surface);
}

void WaylandScreen::DropSurface(OutputSurface& s) {
  if (s.egl != EGL_NO_SURFACE) {
    eglMakeCurrent(egl_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(egl_, s.egl);
  }
  if (s.window) wl_egl_window_destroy(s.window);
  if (s.layer) zwlr_layer_surface_v1_destroy(s.layer);
  s.toplevel.reset();
  if (s.fraction) wp_fractional_scale_v1_destroy(s.fraction);
  if (s.viewport) wp_viewport_destroy(s.viewport);
  if (s.surface) wl_surface_destroy(s.surface);
  s.egl = EGL_NO_SURFACE;
  s.window = nullptr;
  s.layer = nullptr;
  s.fraction = nullptr;
  s.viewport = nullptr;
  s.surface = nullptr;
  s.entered.clear();
  s.reports = {};
  s.width = s.height = 0;
  s.plan = {};
}

bool WaylandScreen::StartEgl() {
  egl_ = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display_, nullptr);
  if (egl_ == EGL_NO_DISPLAY || !eglInitialize(egl_, nullptr, nullptr) ||
      !eglBindAPI(EGL_OPENGL_API)) {
    return false;
  }
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                     EGL_WINDOW_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     24,
                                     EGL_NONE};
  EGLint count = 0;
  if (!eglChooseConfig(egl_, configAttributes, &config_, 1, &count) || count < 1) return false;
  const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                      3,
                                      EGL_CONTEXT_MINOR_VERSION,
                                      3,
                                      EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                      EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                      EGL_NONE};
  context_ = eglCreateContext(egl_, config_, EGL_NO_CONTEXT, contextAttributes);
  return context_ != EGL_NO_CONTEXT;
}

void WaylandScreen::Roundtrip() {
  if (wl_display_roundtrip(display_) < 0) quit_ = true;
}

bool WaylandScreen::Connect() {
  // WAYLAND_SOCKET (a connection a host hands over) first, then WAYLAND_DISPLAY.
  display_ = wl_display_connect(nullptr);
  if (!display_) {
    std::fprintf(stderr, "flurrix: no Wayland compositor to connect to\n");
    return false;
  }
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  Roundtrip();
  if (!compositor_ || (!shell_ && !wmBase_)) {
    std::fprintf(stderr,
                 "flurrix: the compositor offers neither layer-shell surfaces nor xdg-shell "
                 "windows, so the snow cannot cover its outputs\n");
    return false;
  }
  if (!StartEgl()) {
    std::fprintf(stderr, "flurrix: no OpenGL 3.3 context through EGL on this compositor\n");
    return false;
  }
  // The compositor going away ends the run even in the middle of a frame: Mesa's software
  // renderer can wait for ever in a swap whose compositor has gone. It ends the program as a
  // termination signal does.
  watch_.Start(wl_display_get_fd(display_), [] { raise(SIGTERM); });
  return true;
}

// Every output is covered at the size the compositor gives it; a mode or a host's window is not
// something a Wayland client can ask for.
bool WaylandScreen::Open(const OpenRequest& request) {
  if (request.kind != OpenRequest::Kind::kEveryOutput || !display_ || open_) return false;
  open_ = true;
  for (auto& [name, s] : surfaces_) MakeSurface(s);
  // Configure events follow the first commits; a few round trips bring every output's.
  for (int i = 0; i < 5 && !quit_ && outputs_.Ready().size() < surfaces_.size(); ++i) {
    Roundtrip();
  }
  outputs_.TakeChanged();
  ready_ = outputs_.Ready();
  if (ready_.empty()) return false;
  MakeCurrent(0);
  ResetInput(SurfaceAt(0).width, SurfaceAt(0).height);
  return true;
}

void WaylandScreen::Close() {
  if (egl_ != EGL_NO_DISPLAY) eglMakeCurrent(egl_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  for (auto& [name, s] : surfaces_) DropSurface(s);
  ready_.clear();
  open_ = false;
  if (display_) wl_display_flush(display_);
}

GlSurface WaylandScreen::SurfaceAt(int32_t index) const {
  if (index < 0 || index >= SurfaceCount()) return {};
  const Output& o = ready_[index];
  auto& s = const_cast<OutputSurface&>(surfaces_.at(o.name));
  return {o.width, o.height, GlEntry, Present, &s};
}

void WaylandScreen::MakeCurrent(int32_t index) {
  if (index < 0 || index >= SurfaceCount()) return;
  const OutputSurface& s = surfaces_.at(ready_[index].name);
  eglMakeCurrent(egl_, s.egl, s.egl, context_);
}

bool WaylandScreen::SurfacesChanged() {
  if (!outputs_.TakeChanged()) return false;
  ready_ = outputs_.Ready();
  return true;
}

// Reads what the compositor sent without waiting; a closed connection ends the run.
void WaylandScreen::HandleEvents() {
  if (!display_ || quit_) return;
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) {
      quit_ = true;
      return;
    }
  }
  wl_display_flush(display_);
  pollfd connection{wl_display_get_fd(display_), POLLIN, 0};
  if (poll(&connection, 1, 0) > 0) {
    if (wl_display_read_events(display_) < 0) quit_ = true;
  } else {
    wl_display_cancel_read(display_);
  }
  if (wl_display_dispatch_pending(display_) < 0 || wl_display_get_error(display_) != 0) {
    quit_ = true;
  }
}

}  // namespace

std::unique_ptr<Screen> MakeWaylandScreen() {
  return std::make_unique<WaylandScreen>();
}

}  // namespace screen
