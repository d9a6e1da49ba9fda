// The full-screen screen of a run: display modes, the window with its OpenGL context handed to
// the engine, presenting frames, and the keyboard and mouse polled once per frame. SDL2 lies
// underneath; nothing else of the program sees it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/input.h"

namespace scene {

// Brings up the video layer, for a run in a host's window (OpenInWindow) when `hosted`. False
// when there is no display to draw on.
bool StartSprites(bool hosted = false);
bool StartKeyboard();
bool StartMouse();

struct DisplayMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;  // storage bits per pixel: 16 or 32
};

// The modes the display offers: 16-bit modes, then 32-bit modes, one per mode and refresh rate,
// plus the desktop's own mode. Step through them with NextDisplayMode.
bool ListDisplayModes();
bool NextDisplayMode();
int32_t DisplayModeWidth();
int32_t DisplayModeHeight();
int32_t DisplayModeDepth();

// Opens the screen at that mode (the desktop's own mode as a borderless window over the desktop,
// any other as a real mode change), covers the other monitors in black, and opens the engine's
// screen on it. False when the window, the context or the engine's screen cannot be made.
bool OpenFullScreen(int32_t width, int32_t height, int32_t depth, const std::string& title);
// Opens the engine's screen in a window that another program made (a screensaver host's), at
// that window's size: no mode change, no covers, the pointer left alone. False when the window
// cannot take an OpenGL context.
bool OpenInWindow(uint64_t nativeWindow);
// Shows the frame drawn so far and handles the windows' events.
void PresentFrame();
void CloseFullScreen();
// True once the system asked the program to end (a termination signal, the window closed).
bool QuitRequested();
// The size of the opened screen in pixels.
int32_t ScreenWidth();
int32_t ScreenHeight();

void PollKeyboard();
bool KeyReleased(int code);
void PollMouse();
void PlaceMouse(int32_t x, int32_t y);
int32_t MouseXPos();
int32_t MouseYPos();
int32_t MouseWheelDelta();

// The input state the polls above feed (the exit test reads it).
InputState& CurrentInput();

// The DirectInput scan code of an SDL scancode, 0 for keys without one.
int DirectInputCode(int sdlScancode);

}  // namespace scene
