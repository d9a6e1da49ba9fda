// The screen over SDL2: one OpenGL window for the run, black windows over the other monitors,
// and keyboard and mouse snapshots. The engine draws into the window's context.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/platform.h"
#include "scene/engine_api.h"
#include "scene/screen.h"

namespace scene {
namespace {

struct ScreenState {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  std::vector<SDL_Window*> covers;  // black windows over the other monitors
  std::vector<SDL_Renderer*> coverRenderers;
  int32_t width = 0;
  int32_t height = 0;
  int32_t moveX = 0, moveY = 0;  // pointer movement since the previous mouse poll
  int32_t wheel = 0;             // wheel movement since the previous mouse poll
  bool quit = false;             // the system asked the program to end (SIGTERM, a closed window)
  // Keys pressed since the previous keyboard poll: a tap shorter than a frame still counts.
  std::array<bool, InputState::kKeyCount> pressed{};
};

ScreenState screen;
InputState input;
std::vector<DisplayMode> modes;
int modeCursor = -1;

bool Offscreen() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "offscreen") == 0;
}

// Each cover is cleared by a renderer of its own; the run's context is current again afterwards.
void PaintCovers() {
  for (SDL_Renderer* renderer : screen.coverRenderers) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
  }
  if (screen.window && screen.context) SDL_GL_MakeCurrent(screen.window, screen.context);
}

// Covers every monitor that the run's window does not cover, so no part of the desktop shows.
void CoverOtherMonitors(const SDL_Rect& shown) {
  const std::vector<platform::Monitor> monitors = platform::ListMonitors();
  for (const platform::Monitor& m : monitors) {
    const SDL_Rect rect{m.x, m.y, m.width, m.height};
    if (SDL_HasIntersection(&rect, &shown)) continue;
    SDL_Window* cover = SDL_CreateWindow(
        "", m.x, m.y, m.width, m.height,
        SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR);
    if (!cover) continue;
    screen.covers.push_back(cover);
    if (SDL_Renderer* renderer = SDL_CreateRenderer(cover, -1, 0)) {
      screen.coverRenderers.push_back(renderer);
    }
  }
  PaintCovers();
}

void Present(void* window) {
  SDL_GL_SwapWindow(static_cast<SDL_Window*>(window));
}

void* GlEntry(const char* name) {
  return SDL_GL_GetProcAddress(name);
}

void HandleEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {
      screen.quit = true;
    } else if (event.type == SDL_KEYDOWN) {
      screen.pressed[DirectInputCode(event.key.keysym.scancode)] = true;
    } else if (event.type == SDL_MOUSEMOTION) {
      screen.moveX += event.motion.xrel;
      screen.moveY += event.motion.yrel;
    } else if (event.type == SDL_MOUSEWHEEL) {
      screen.wheel += event.wheel.y != 0 ? event.wheel.y : event.wheel.x;
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED &&
               event.window.windowID != SDL_GetWindowID(screen.window)) {
      PaintCovers();
    }
  }
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

void SetContextAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

// The context on the run's window, handed to the engine at the window's drawable size.
bool OpenContext() {
  if (!screen.window) return false;
  screen.context = SDL_GL_CreateContext(screen.window);
  if (!screen.context) {
    CloseFullScreen();
    return false;
  }
  // Vertical sync where the driver has it; adaptive first, so a late frame does not wait.
  if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
  int drawableWidth = 0, drawableHeight = 0;
  SDL_GL_GetDrawableSize(screen.window, &drawableWidth, &drawableHeight);
  if (Rto().OpenScreen(drawableWidth, drawableHeight, GlEntry, Present, screen.window) == 0) {
    CloseFullScreen();
    return false;
  }
  screen.width = drawableWidth;
  screen.height = drawableHeight;
  input = InputState{};
  input.SetScreenSize(drawableWidth, drawableHeight);
  return true;
}

}  // namespace

bool StartSprites(bool hosted) {
  // A host's window may lie on any X screen of the display; the video layer's view of all of
  // them would put it on the first and give its context that screen's configurations.
  if (hosted) SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
  // The system's own blanking and power saving stay in charge while the saver runs.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Clicking a black cover on another monitor must not minimise the run.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // One reference of our own keeps the GL driver loaded until the process ends, whatever windows
  // come and go: unloading it would leave its own lost memory reported in code nobody can name.
  SDL_GL_LoadLibrary(nullptr);
  return true;
}

bool StartKeyboard() {
  return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

bool StartMouse() {
  return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

bool ListDisplayModes() {
  modes.clear();
  modeCursor = -1;
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
  modes = mode555.empty() ? mode565 : mode555;
  modes.insert(modes.end(), mode32.begin(), mode32.end());
  // The desktop's own mode is always offered: the run shows it as a window over the desktop.
  const platform::DesktopMode desktop = platform::QueryDesktop();
  const DisplayMode own{desktop.width, desktop.height, desktop.depth};
  if (std::none_of(modes.begin(), modes.end(), [&](const DisplayMode& m) {
        return m.width == own.width && m.height == own.height && m.depth == own.depth;
      })) {
    modes.push_back(own);
  }
  return true;
}

bool NextDisplayMode() {
  if (modeCursor + 1 >= static_cast<int>(modes.size())) return false;
  ++modeCursor;
  return true;
}

int32_t DisplayModeWidth() {
  return modeCursor >= 0 ? modes[modeCursor].width : 0;
}

int32_t DisplayModeHeight() {
  return modeCursor >= 0 ? modes[modeCursor].height : 0;
}

int32_t DisplayModeDepth() {
  return modeCursor >= 0 ? modes[modeCursor].depth : 0;
}

bool OpenFullScreen(int32_t width, int32_t height, int32_t depth, const std::string& title) {
  if (width <= 0 || height <= 0) return false;
  SetContextAttributes();
  screen.window = CreateRunWindow(width, height, depth, title);
  if (!OpenContext()) return false;
  SDL_ShowCursor(SDL_DISABLE);
  // Relative mode reports movement even where the pointer meets the edge of the desktop.
  if (!Offscreen()) SDL_SetRelativeMouseMode(SDL_TRUE);
  SDL_RaiseWindow(screen.window);
  if (!Offscreen()) {
    int x = 0, y = 0;
    SDL_GetWindowPosition(screen.window, &x, &y);
    CoverOtherMonitors({x, y, screen.width, screen.height});
    SDL_RaiseWindow(screen.window);
  }
  HandleEvents();
  return true;
}

bool OpenInWindow(uint64_t nativeWindow) {
  if (nativeWindow == 0) return false;
  int32_t width = 0, height = 0;
  if (!platform::HostWindowSize(nativeWindow, width, height)) return false;
  SetContextAttributes();
  // A window of our own inside the host's: drawing straight into the host's window would need
  // a context of exactly its pixel format, which the host chose for itself.
  screen.window = SDL_CreateWindow("", 0, 0, width, height,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (!screen.window || !platform::EmbedWindow(NativeHandle(screen.window), nativeWindow)) {
    CloseFullScreen();
    return false;
  }
  if (!OpenContext()) return false;
  HandleEvents();
  return true;
}

void PresentFrame() {
  Rto().FlipBuffers();
  HandleEvents();
}

void CloseFullScreen() {
  if (Rto().CloseScreen) Rto().CloseScreen();
  for (SDL_Renderer* renderer : screen.coverRenderers) SDL_DestroyRenderer(renderer);
  for (SDL_Window* cover : screen.covers) SDL_DestroyWindow(cover);
  if (screen.context) SDL_GL_DeleteContext(screen.context);
  if (screen.window) SDL_DestroyWindow(screen.window);
  screen = ScreenState{};
  SDL_SetRelativeMouseMode(SDL_FALSE);
  SDL_ShowCursor(SDL_ENABLE);
}

bool QuitRequested() {
  return screen.quit;
}

int32_t ScreenWidth() {
  return screen.width;
}

int32_t ScreenHeight() {
  return screen.height;
}

void PollKeyboard() {
  HandleEvents();
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  std::array<bool, InputState::kKeyCount> down = screen.pressed;
  screen.pressed = {};
  for (int scancode = 0; scancode < count; ++scancode) {
    if (state[scancode]) down[DirectInputCode(scancode)] = true;
  }
  down[0] = false;  // keys without a code
  input.SetKeys(down);
}

bool KeyReleased(int code) {
  return input.KeyReleased(code);
}

void PollMouse() {
  HandleEvents();
  input.AddMouseMotion(screen.moveX, screen.moveY, screen.wheel);
  screen.moveX = screen.moveY = screen.wheel = 0;
}

// Only the run's own position moves: the system's pointer stays where the user left it, so that
// no movement is made up by moving it.
void PlaceMouse(int32_t x, int32_t y) {
  HandleEvents();
  screen.moveX = screen.moveY = screen.wheel = 0;
  input.PlaceMouse(x, y);
}

InputState& CurrentInput() {
  return input;
}

int32_t MouseXPos() {
  return input.MouseX();
}

int32_t MouseYPos() {
  return input.MouseY();
}

int32_t MouseWheelDelta() {
  return input.MouseWheelDelta();
}

int DirectInputCode(int sdlScancode) {
  static const std::array<uint8_t, SDL_NUM_SCANCODES> table = [] {
    std::array<uint8_t, SDL_NUM_SCANCODES> t{};
    const uint8_t letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                 0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = letters[i];
    for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_1 + i] = static_cast<uint8_t>(0x02 + i);  // 1..9, 0
    for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_F1 + i] = static_cast<uint8_t>(0x3B + i);
    const std::pair<SDL_Scancode, uint8_t> others[] = {
        {SDL_SCANCODE_ESCAPE, 0x01},
        {SDL_SCANCODE_MINUS, 0x0C},
        {SDL_SCANCODE_EQUALS, 0x0D},
        {SDL_SCANCODE_BACKSPACE, 0x0E},
        {SDL_SCANCODE_TAB, 0x0F},
        {SDL_SCANCODE_LEFTBRACKET, 0x1A},
        {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
        {SDL_SCANCODE_RETURN, 0x1C},
        {SDL_SCANCODE_LCTRL, 0x1D},
        {SDL_SCANCODE_SEMICOLON, 0x27},
        {SDL_SCANCODE_APOSTROPHE, 0x28},
        {SDL_SCANCODE_GRAVE, 0x29},
        {SDL_SCANCODE_LSHIFT, 0x2A},
        {SDL_SCANCODE_BACKSLASH, 0x2B},
        {SDL_SCANCODE_NONUSHASH, 0x2B},
        {SDL_SCANCODE_COMMA, 0x33},
        {SDL_SCANCODE_PERIOD, 0x34},
        {SDL_SCANCODE_SLASH, 0x35},
        {SDL_SCANCODE_RSHIFT, 0x36},
        {SDL_SCANCODE_KP_MULTIPLY, 0x37},
        {SDL_SCANCODE_LALT, 0x38},
        {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_CAPSLOCK, 0x3A},
        {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
        {SDL_SCANCODE_SCROLLLOCK, 0x46},
        {SDL_SCANCODE_KP_7, 0x47},
        {SDL_SCANCODE_KP_8, 0x48},
        {SDL_SCANCODE_KP_9, 0x49},
        {SDL_SCANCODE_KP_MINUS, 0x4A},
        {SDL_SCANCODE_KP_4, 0x4B},
        {SDL_SCANCODE_KP_5, 0x4C},
        {SDL_SCANCODE_KP_6, 0x4D},
        {SDL_SCANCODE_KP_PLUS, 0x4E},
        {SDL_SCANCODE_KP_1, 0x4F},
        {SDL_SCANCODE_KP_2, 0x50},
        {SDL_SCANCODE_KP_3, 0x51},
        {SDL_SCANCODE_KP_0, 0x52},
        {SDL_SCANCODE_KP_PERIOD, 0x53},
        {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
        {SDL_SCANCODE_F11, 0x57},
        {SDL_SCANCODE_F12, 0x58},
        {SDL_SCANCODE_F13, 0x64},
        {SDL_SCANCODE_F14, 0x65},
        {SDL_SCANCODE_F15, 0x66},
        {SDL_SCANCODE_KP_EQUALS, 0x8D},
        {SDL_SCANCODE_KP_ENTER, 0x9C},
        {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_MUTE, 0xA0},
        {SDL_SCANCODE_VOLUMEDOWN, 0xAE},
        {SDL_SCANCODE_VOLUMEUP, 0xB0},
        {SDL_SCANCODE_KP_DIVIDE, 0xB5},
        {SDL_SCANCODE_PRINTSCREEN, 0xB7},
        {SDL_SCANCODE_RALT, 0xB8},
        {SDL_SCANCODE_PAUSE, 0xC5},
        {SDL_SCANCODE_HOME, 0xC7},
        {SDL_SCANCODE_UP, 0xC8},
        {SDL_SCANCODE_PAGEUP, 0xC9},
        {SDL_SCANCODE_LEFT, 0xCB},
        {SDL_SCANCODE_RIGHT, 0xCD},
        {SDL_SCANCODE_END, 0xCF},
        {SDL_SCANCODE_DOWN, 0xD0},
        {SDL_SCANCODE_PAGEDOWN, 0xD1},
        {SDL_SCANCODE_INSERT, 0xD2},
        {SDL_SCANCODE_DELETE, 0xD3},
        {SDL_SCANCODE_LGUI, 0xDB},
        {SDL_SCANCODE_RGUI, 0xDC},
        {SDL_SCANCODE_APPLICATION, 0xDD},
        {SDL_SCANCODE_POWER, 0xDE},
        {SDL_SCANCODE_SLEEP, 0xDF},
    };
    for (const auto& [scancode, code] : others) t[scancode] = code;
    return t;
  }();
  return sdlScancode >= 0 && sdlScancode < SDL_NUM_SCANCODES ? table[sdlScancode] : 0;
}

}  // namespace scene
