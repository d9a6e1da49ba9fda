// The screen of a run: the display modes, the window with its OpenGL 3.3 core context that the
// engine draws into, presenting, and the keyboard and mouse polled once per frame. One layer per
// window system lies underneath (SDL2 today); the run sees only this interface, and nothing here
// knows the engine or the scene.
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

// What the engine needs to draw into an opened screen: its drawable size, the GL look-up and the
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

  // Brings up the video layer. False when there is no display to draw on.
  virtual bool StartSprites() = 0;
  virtual bool StartKeyboard() = 0;
  virtual bool StartMouse() = 0;

  // The modes the display offers: 16-bit modes, then 32-bit modes, one per mode and refresh rate,
  // plus the desktop's own mode. Step through them with NextDisplayMode.
  bool ListDisplayModes();
  bool NextDisplayMode();
  int32_t DisplayModeWidth() const;
  int32_t DisplayModeHeight() const;
  int32_t DisplayModeDepth() const;

  // Opens the screen at that mode (the desktop's own mode as a borderless window over the
  // primary monitor, any other as a real mode change) and a window on every other monitor, at
  // that monitor's size, on the same context; a monitor whose window cannot take the context is
  // covered in black. False when the primary window or its context cannot be made.
  virtual bool OpenFullScreen(int32_t width, int32_t height, int32_t depth,
                              const std::string& title) = 0;
  // Opens the screen in a window that another program made (a screensaver host's), at that
  // window's size: no mode change, no covers, the pointer left alone. False when the window
  // cannot take an OpenGL context.
  virtual bool OpenInWindow(uint64_t nativeWindow) = 0;
  virtual void CloseFullScreen() = 0;
  // The surfaces the run draws into: 0 is the opened screen, then the other monitors' windows.
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

  void PollKeyboard();
  bool KeyReleased(int code) { return input_.KeyReleased(code); }
  void PollMouse();
  // Only the run's own position moves: the system's pointer stays where the user left it, so
  // that no movement is made up by moving it.
  void PlaceMouse(int32_t x, int32_t y);
  int32_t MouseXPos() const { return input_.MouseX(); }
  int32_t MouseYPos() const { return input_.MouseY(); }
  int32_t MouseWheelDelta() const { return input_.MouseWheelDelta(); }
  // The state the polls feed (the exit test reads it).
  InputState& CurrentInput() { return input_; }

 protected:
  virtual std::vector<DisplayMode> Modes() = 0;
  virtual KeySnapshot TakeKeys() = 0;
  virtual MouseMotion TakeMouseMotion() = 0;
  // A newly opened screen starts with fresh input clamped to its size.
  void ResetInput(int32_t width, int32_t height);

 private:
  InputState input_;
  std::vector<DisplayMode> modes_;
  int modeCursor_ = -1;
};

// The SDL2 layer: the run's window and a window on each other monitor, or a window inside a
// host's (`hosted`: XScreenSaver, xsecurelock). For tests, FLURRIX_FAIL_MONITOR=N refuses the
// context on monitor N (counted from 1 in the system's order), as a driver might.
std::unique_ptr<Screen> MakeSdlScreen(bool hosted);

// The Wayland layer: a layer-shell surface on every output of the compositor of WAYLAND_DISPLAY
// (or of the connection in WAYLAND_SOCKET), drawn through EGL; no input. Linux only.
std::unique_ptr<Screen> MakeWaylandScreen();

}  // namespace screen
