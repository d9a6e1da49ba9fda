// The screen of a run: the display modes, the surfaces with their OpenGL 3.3 core context that the
// engine draws into, presenting, and the keyboard and mouse polled once per frame. One layer per
// window system lies underneath (SDL2, and Wayland on Linux); the run sees only this interface,
// and nothing here knows the engine or the scene.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "screen/input.h"

namespace screen {

struct DisplayMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;  // storage bits per pixel: 16 or 32
};

// What a run asks to be shown on.
struct OpenRequest {
  enum class Kind {
    kFullScreen,   // `mode` on the primary monitor, every other monitor at its own size
    kHostWindow,   // inside `hostWindow`, a window another program made (a screensaver host's)
    kEveryOutput,  // every output at the size the window system gives it
  };
  Kind kind = Kind::kFullScreen;
  DisplayMode mode;
  std::string title;
  uint64_t hostWindow = 0;

  static OpenRequest FullScreen(const DisplayMode& mode, const std::string& title) {
    return {Kind::kFullScreen, mode, title, 0};
  }
  static OpenRequest InHostWindow(uint64_t hostWindow) {
    return {Kind::kHostWindow, {}, {}, hostWindow};
  }
  static OpenRequest EveryOutput() { return {Kind::kEveryOutput, {}, {}, 0}; }
};

// What the engine needs to draw into an opened surface: its drawable size, the GL look-up and the
// call that shows a finished frame (handed `window`).
struct GlSurface {
  int32_t width = 0;
  int32_t height = 0;
  void* (*glEntry)(const char* name) = nullptr;
  void (*present)(void* window) = nullptr;
  void* window = nullptr;
};

// Keys down now or pressed since the previous poll (a tap shorter than a frame still counts), by
// DirectInput scan code; code 0 stands for every key that has no scan code of its own.
using KeySnapshot = std::array<bool, InputState::kKeyCount>;

struct MouseMotion {
  int32_t dx = 0, dy = 0;  // pointer movement since the previous poll
  int32_t wheel = 0;       // wheel notches since the previous poll
};

class Screen {
 public:
  virtual ~Screen() = default;

  // Connects to the window system. False when there is no display to draw on.
  virtual bool Connect() = 0;
  // The modes a full-screen opening may ask for: 16-bit modes, then 32-bit modes, one per mode
  // and refresh rate, plus the desktop's own mode. Empty where the window system sizes every
  // surface itself.
  virtual std::vector<DisplayMode> DisplayModes() = 0;
  // Opens what `request` asks for. False when the primary surface or its context cannot be made,
  // or when this layer does not offer that kind of opening. A monitor whose own surface cannot
  // take a context is covered in black.
  virtual bool Open(const OpenRequest& request) = 0;
  // Closes whatever Open opened; the display is as it was before (its mode restored).
  virtual void Close() = 0;
  // True while the opening has switched the display to another mode, which only Close puts back.
  virtual bool SwitchedDisplayMode() const { return false; }

  // The surfaces the run draws into: 0 is the primary, then the other monitors' or outputs'.
  virtual int32_t SurfaceCount() const = 0;
  virtual GlSurface SurfaceAt(int32_t index) const = 0;
  GlSurface Surface() const { return SurfaceAt(0); }
  // Makes surface `index` the one the context draws into.
  virtual void MakeCurrent(int32_t index) = 0;
  // True once after surfaces came or went or changed size (outputs plugged in or out): the run
  // builds its views again.
  virtual bool SurfacesChanged() { return false; }
  // Handles the window system's events: after each present and before each poll.
  virtual void HandleEvents() = 0;
  // True once the system asked the program to end (a termination signal, the window closed).
  virtual bool QuitRequested() const = 0;
  // How often the primary surface's display refreshes, in millihertz; 0 when unknown (or beyond
  // 1 to 1000 Hz). FLURRIX_REFRESH_HZ (hertz, decimals allowed: 143.98) stands in for the
  // system's answer, so that a screen of any rate can be tried on the offscreen driver or Xvfb.
  int32_t RefreshMilliHz() const;

  // Takes the keys and the mouse movement since the previous poll.
  void PollInput();
  // Only the run's own position moves: the system's pointer stays where the user left it, so
  // that no movement is made up by moving it.
  void PlaceMouse(int32_t x, int32_t y);
  // The state the polls feed.
  InputState& Input() { return input_; }

 protected:
  // The input since the previous poll; none where the layer has no input devices of its own
  // (on Wayland the idle daemon or the locker owns them).
  virtual KeySnapshot TakeKeys() { return {}; }
  virtual MouseMotion TakeMouseMotion() { return {}; }
  // A newly opened screen starts with fresh input clamped to its size.
  void ResetInput(int32_t width, int32_t height);
  // The refresh rate of the primary surface's display as the system gives it, in millihertz; 0
  // when it does not say.
  virtual int32_t SystemRefreshMilliHz() const { return 0; }

 private:
  InputState input_;
};

// The SDL2 layer: the full screen with a window on each other monitor, or (`forHostWindow`, which
// must be known before the video layer starts) a window inside a host's (XScreenSaver,
// xsecurelock). For tests, FLURRIX_FAIL_MONITOR=N refuses the context on monitor N (counted from
// 1 in the system's order), as a driver might.
std::unique_ptr<Screen> MakeSdlScreen(bool forHostWindow = false);

// The Wayland layer: a surface on every output of the compositor of WAYLAND_DISPLAY (or of the
// connection in WAYLAND_SOCKET), drawn through EGL; no input. None on Windows.
#ifdef _WIN32
inline std::unique_ptr<Screen> MakeWaylandScreen() {
  return nullptr;
}
#else
std::unique_ptr<Screen> MakeWaylandScreen();
#endif

}  // namespace screen
