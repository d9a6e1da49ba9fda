// The screen over SDL2: the run's OpenGL window and one on every other monitor (black where it
// cannot have a context), or a window inside a host's; keyboard and mouse snapshots.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "screen/screen.h"
#include "screen/sdl_keys.h"

namespace screen {
namespace {

// The engine draws on at most 16 screens; further monitors are covered in black.
constexpr int kMostOtherMonitors = 15;

bool Offscreen() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "offscreen") == 0;
}

void Present(void* window) {
  SDL_GL_SwapWindow(static_cast<SDL_Window*>(window));
}

void* GlEntry(const char* name) {
  return SDL_GL_GetProcAddress(name);
}

// The primary monitor's place on the desktop (0, 0 and the desktop's size when unknown).
SDL_Rect PrimaryMonitor(int32_t width, int32_t height) {
  const std::vector<platform::Monitor> monitors = platform::ListMonitors();
  if (monitors.empty()) return {0, 0, width, height};
  return {monitors[0].x, monitors[0].y, monitors[0].width, monitors[0].height};
}

SDL_Window* CreateRunWindow(int32_t width, int32_t height, int32_t depth,
                            const std::string& title) {
  const Uint32 gl = SDL_WINDOW_OPENGL;
  if (Offscreen()) return SDL_CreateWindow(title.c_str(), 0, 0, width, height, gl);
  const platform::DesktopMode desktop = platform::QueryDesktop();
  if (width == desktop.width && height == desktop.height && depth == desktop.depth) {
    // The desktop's own mode: a borderless window over the primary monitor, full screen where
    // the video layer sees that monitor as a display of its own.
    const SDL_Rect monitor = PrimaryMonitor(width, height);
    SDL_Rect bounds{};
    const bool ownDisplay = SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.x == monitor.x &&
                            bounds.y == monitor.y && bounds.w == monitor.w && bounds.h == monitor.h;
    const Uint32 flags = gl | SDL_WINDOW_BORDERLESS |
                         (ownDisplay ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_ALWAYS_ON_TOP);
    return SDL_CreateWindow(title.c_str(), monitor.x, monitor.y, width, height, flags);
  }
  SDL_Window* window =
      SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                       gl | SDL_WINDOW_FULLSCREEN);
  if (!window) return nullptr;
  SDL_DisplayMode wanted{depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888, width,
                         height, 0, nullptr};
  SDL_DisplayMode closest{};
  if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr ||
      SDL_SetWindowDisplayMode(window, &closest) != 0) {
    SDL_DestroyWindow(window);
    return nullptr;
  }
  return window;
}

// The window system's handle of a window: an X11 window id or an HWND.
uint64_t NativeHandle(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info)) return 0;
#if defined(SDL_VIDEO_DRIVER_WINDOWS)
  if (info.subsystem == SDL_SYSWM_WINDOWS) return reinterpret_cast<uintptr_t>(info.info.win.window);
#endif
#if defined(SDL_VIDEO_DRIVER_X11)
  if (info.subsystem == SDL_SYSWM_X11) return info.info.x11.window;
#endif
  return 0;
}

// A key press as the window system reports it, before SDL drops the keys it has no scancode for.
bool RawKeyPress(const SDL_SysWMmsg& msg) {
#if defined(SDL_VIDEO_DRIVER_WINDOWS)
  if (msg.subsystem == SDL_SYSWM_WINDOWS) {
    return msg.msg.win.msg == WM_KEYDOWN || msg.msg.win.msg == WM_SYSKEYDOWN;
  }
#endif
#if defined(SDL_VIDEO_DRIVER_X11)
  if (msg.subsystem == SDL_SYSWM_X11) return msg.msg.x11.event.type == KeyPress;
#endif
  return false;
}

// The monitor (counted from 1) on which a test asks the context to be refused.
int RefusedMonitor() {
  const char* value = std::getenv("FLURRIX_FAIL_MONITOR");
  return value ? std::atoi(value) : 0;
}

void SetContextAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

class SdlScreen final : public Screen {
 public:
  explicit SdlScreen(bool forHostWindow) : forHostWindow_(forHostWindow) {}
  ~SdlScreen() override { Close(); }

  bool Connect() override;
  std::vector<DisplayMode> DisplayModes() override;
  bool Open(const OpenRequest& request) override;
  void Close() override;
  bool SwitchedDisplayMode() const override { return modeSwitched_; }
  int32_t SurfaceCount() const override {
    return window_ ? 1 + static_cast<int32_t>(others_.size()) : 0;
  }
  GlSurface SurfaceAt(int32_t index) const override;
  void MakeCurrent(int32_t index) override;
  void HandleEvents() override;
  bool QuitRequested() const override { return quit_; }

 protected:
  KeySnapshot TakeKeys() override;
  int32_t SystemRefreshMilliHz() const override;
  MouseMotion TakeMouseMotion() override {
    const MouseMotion m = motion_;
    motion_ = {};
    return m;
  }

 private:
  bool OpenFullScreen(const DisplayMode& mode, const std::string& title);
  bool OpenInWindow(uint64_t nativeWindow);
  bool OpenContext();
  void SetVerticalSync();
  void OpenOtherMonitors(const SDL_Rect& shown);
  struct MonitorWindow {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
  };
  MonitorWindow OpenMonitorWindow(const platform::Monitor& m, bool refused);
  void PaintCovers();

  bool forHostWindow_;
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  std::vector<MonitorWindow> others_;  // the other monitors' windows
  std::vector<SDL_Window*> covers_;    // black windows over monitors without one
  std::vector<SDL_Renderer*> coverRenderers_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  MouseMotion motion_;     // since the previous mouse poll
  KeySnapshot pressed_{};  // keys pressed since the previous keyboard poll
  bool quit_ = false;
  bool modeSwitched_ = false;
};

bool SdlScreen::Connect() {
  // A host's window may lie on any X screen of the display; the video layer's view of all of
  // them would put it on the first and give its context that screen's configurations.
  if (forHostWindow_) SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
  // The system's own blanking and power saving stay in charge while the saver runs.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Clicking a black cover on another monitor must not minimise the run.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // Keys the video layer has no scancode for still end a run: their raw presses come this way.
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  // One reference of our own keeps the GL driver loaded until the process ends, whatever windows
  // come and go: unloading it would leave its own lost memory reported in code nobody can name.
  SDL_GL_LoadLibrary(nullptr);
  return true;
}

std::vector<DisplayMode> SdlScreen::DisplayModes() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return {};
  std::vector<DisplayMode> mode555, mode565, mode32;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode m{};
    if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
    const DisplayMode mode{m.w, m.h, static_cast<int32_t>(SDL_BYTESPERPIXEL(m.format) * 8)};
    if (m.format == SDL_PIXELFORMAT_RGB555) {
      mode555.push_back(mode);
    } else if (m.format == SDL_PIXELFORMAT_RGB565) {
      mode565.push_back(mode);
    } else if (mode.depth == 32) {
      mode32.push_back(mode);
    }
  }
  std::vector<DisplayMode> modes = mode555.empty() ? mode565 : mode555;
  modes.insert(modes.end(), mode32.begin(), mode32.end());
  // The desktop's own mode is always offered: the run shows it as a window over the desktop.
  const platform::DesktopMode desktop = platform::QueryDesktop();
  const DisplayMode own{desktop.width, desktop.height, desktop.depth};
  if (std::none_of(modes.begin(), modes.end(), [&](const DisplayMode& m) {
        return m.width == own.width && m.height == own.height && m.depth == own.depth;
      })) {
    modes.push_back(own);
  }
  return modes;
}

// Each cover is cleared by a renderer of its own; the run's context is current again afterwards.
void SdlScreen::PaintCovers() {
  for (SDL_Renderer* renderer : coverRenderers_) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
  }
  if (window_ && context_) SDL_GL_MakeCurrent(window_, context_);
}

// A window over the monitor with a context of its own that shares the run's textures, buffers
// and programs (Mesa's software renderer reallocates a window's buffers each time one context
// moves between windows), or none when it cannot have one.
SdlScreen::MonitorWindow SdlScreen::OpenMonitorWindow(const platform::Monitor& m, bool refused) {
  if (refused) return {};
  SDL_Window* window = SDL_CreateWindow("", m.x, m.y, m.width, m.height,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS |
                                            SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR);
  if (!window) return {};
  SDL_GL_MakeCurrent(window_, context_);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  if (context && SDL_GL_MakeCurrent(window, context) == 0) {
    // Only the primary window waits for the display: two waits would halve the frame rate.
    SDL_GL_SetSwapInterval(0);
    return {window, context};
  }
  if (context) SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  return {};
}

// Every monitor that the run's window does not cover gets a window of its own for the run, or a
// black cover when it cannot have one, so no part of the desktop shows.
void SdlScreen::OpenOtherMonitors(const SDL_Rect& shown) {
  const std::vector<platform::Monitor> monitors = platform::ListMonitors();
  const int refused = RefusedMonitor();
  for (size_t i = 0; i < monitors.size(); ++i) {
    const platform::Monitor& m = monitors[i];
    const SDL_Rect rect{m.x, m.y, m.width, m.height};
    if (SDL_HasIntersection(&rect, &shown)) continue;
    if (static_cast<int>(others_.size()) < kMostOtherMonitors) {
      const MonitorWindow other = OpenMonitorWindow(m, refused == static_cast<int>(i) + 1);
      if (other.window) {
        others_.push_back(other);
        continue;
      }
    }
    SDL_Window* cover = SDL_CreateWindow(
        "", m.x, m.y, m.width, m.height,
        SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR);
    if (!cover) continue;
    covers_.push_back(cover);
    if (SDL_Renderer* renderer = SDL_CreateRenderer(cover, -1, 0)) {
      coverRenderers_.push_back(renderer);
    }
  }
  PaintCovers();
  SetVerticalSync();
}

GlSurface SdlScreen::SurfaceAt(int32_t index) const {
  if (index == 0) return {width_, height_, GlEntry, Present, window_};
  if (index < 0 || index > static_cast<int32_t>(others_.size())) return {};
  SDL_Window* window = others_[index - 1].window;
  GlSurface surface{0, 0, GlEntry, Present, window};
  SDL_GL_GetDrawableSize(window, &surface.width, &surface.height);
  return surface;
}

void SdlScreen::MakeCurrent(int32_t index) {
  if (index == 0) {
    SDL_GL_MakeCurrent(window_, context_);
  } else if (index > 0 && index <= static_cast<int32_t>(others_.size())) {
    SDL_GL_MakeCurrent(others_[index - 1].window, others_[index - 1].context);
  }
}

// Vertical sync on the primary window where the driver has it; adaptive first, so a late frame
// does not wait.
void SdlScreen::SetVerticalSync() {
  SDL_GL_MakeCurrent(window_, context_);
  if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
}

void SdlScreen::HandleEvents() {
  SDL_Event event;
  bool keyReported = false;
  bool rawKeyPress = false;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {
      quit_ = true;
    } else if (event.type == SDL_KEYDOWN) {
      pressed_[DirectInputCode(event.key.keysym.scancode)] = true;
      keyReported = true;
    } else if (event.type == SDL_SYSWMEVENT) {
      rawKeyPress = rawKeyPress || RawKeyPress(*event.syswm.msg);
    } else if (event.type == SDL_MOUSEMOTION) {
      motion_.dx += event.motion.xrel;
      motion_.dy += event.motion.yrel;
    } else if (event.type == SDL_MOUSEWHEEL) {
      motion_.wheel += event.wheel.y != 0 ? event.wheel.y : event.wheel.x;
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED &&
               event.window.windowID != SDL_GetWindowID(window_)) {
      PaintCovers();
    }
  }
  // A press that the video layer did not report as a key: one without a scancode of its own.
  if (rawKeyPress && !keyReported) pressed_[0] = true;
}

// The current mode of the display the run's window is on (SDL gives whole hertz); 0 when unknown.
int32_t SdlScreen::SystemRefreshMilliHz() const {
  if (!window_) return 0;
  const int display = SDL_GetWindowDisplayIndex(window_);
  SDL_DisplayMode mode{};
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
  return mode.refresh_rate > 0 && mode.refresh_rate <= 1000 ? mode.refresh_rate * 1000 : 0;
}

KeySnapshot SdlScreen::TakeKeys() {
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  KeySnapshot down = pressed_;
  pressed_ = {};
  for (int scancode = 1; scancode < count; ++scancode) {
    if (state[scancode]) down[DirectInputCode(scancode)] = true;
  }
  return down;
}

// The context on the run's window, at the window's drawable size.
bool SdlScreen::OpenContext() {
  if (!window_) return false;
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    Close();
    return false;
  }
  SetVerticalSync();
  SDL_GL_GetDrawableSize(window_, &width_, &height_);
  ResetInput(width_, height_);
  return true;
}

bool SdlScreen::Open(const OpenRequest& request) {
  if (!SDL_WasInit(SDL_INIT_VIDEO) || window_) return false;
  switch (request.kind) {
    case OpenRequest::Kind::kFullScreen:
      return !forHostWindow_ && OpenFullScreen(request.mode, request.title);
    case OpenRequest::Kind::kHostWindow:
      return forHostWindow_ && OpenInWindow(request.hostWindow);
    case OpenRequest::Kind::kEveryOutput:
      break;  // a Wayland compositor's outputs: the Wayland layer's
  }
  return false;
}

bool SdlScreen::OpenFullScreen(const DisplayMode& mode, const std::string& title) {
  if (mode.width <= 0 || mode.height <= 0) return false;
  SetContextAttributes();
  const platform::DesktopMode desktop = platform::QueryDesktop();  // before any switch
  window_ = CreateRunWindow(mode.width, mode.height, mode.depth, title);
  modeSwitched_ =
      window_ && !Offscreen() &&
      (mode.width != desktop.width || mode.height != desktop.height || mode.depth != desktop.depth);
  if (!OpenContext()) return false;
  SDL_ShowCursor(SDL_DISABLE);
  // Relative mode reports movement even where the pointer meets the edge of the desktop.
  if (!Offscreen()) SDL_SetRelativeMouseMode(SDL_TRUE);
  SDL_RaiseWindow(window_);
  if (!Offscreen()) {
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    OpenOtherMonitors({x, y, width_, height_});
    SDL_RaiseWindow(window_);
  }
  HandleEvents();
  return true;
}

bool SdlScreen::OpenInWindow(uint64_t nativeWindow) {
  if (nativeWindow == 0) return false;
  int32_t width = 0, height = 0;
  if (!platform::HostWindowSize(nativeWindow, width, height)) return false;
  SetContextAttributes();
  // A window of our own inside the host's: drawing straight into the host's window would need
  // a context of exactly its pixel format, which the host chose for itself.
  window_ = SDL_CreateWindow("", 0, 0, width, height,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (!window_ || !platform::EmbedWindow(NativeHandle(window_), nativeWindow)) {
    Close();
    return false;
  }
  if (!OpenContext()) return false;
  HandleEvents();
  return true;
}

void SdlScreen::Close() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  for (SDL_Renderer* renderer : coverRenderers_) SDL_DestroyRenderer(renderer);
  for (SDL_Window* cover : covers_) SDL_DestroyWindow(cover);
  for (const MonitorWindow& other : others_) {
    SDL_GL_DeleteContext(other.context);
    SDL_DestroyWindow(other.window);
  }
  if (context_) SDL_GL_DeleteContext(context_);
  if (window_) SDL_DestroyWindow(window_);
  coverRenderers_.clear();
  covers_.clear();
  others_.clear();
  context_ = nullptr;
  window_ = nullptr;
  width_ = height_ = 0;
  modeSwitched_ = false;
  SDL_SetRelativeMouseMode(SDL_FALSE);
  SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace

std::unique_ptr<Screen> MakeSdlScreen(bool forHostWindow) {
  return std::make_unique<SdlScreen>(forHostWindow);
}

}  // namespace screen
