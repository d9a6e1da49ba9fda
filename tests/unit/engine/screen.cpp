#include "screen.h"

#include <SDL.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
// Leaks inside Mesa's driver are the driver's (lsan-driver.supp names only its modules).
extern "C" const char* __lsan_default_options() {
  return "suppressions=" FLURRIX_LSAN_SUPPRESSIONS;
}
#endif

namespace enginetest {

Rgba Frame::At(int x, int yFromTop) const {
  const uint8_t* p = &bgra[(static_cast<size_t>(height - 1 - yFromTop) * width + x) * 4];
  return {p[2], p[1], p[0], p[3]};
}

int Frame::Count(Rgba c, int tolerance, int x0, int y0, int x1, int y1) const {
  if (x1 < 0) x1 = width;
  if (y1 < 0) y1 = height;
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const Rgba p = At(x, y);
      if (std::abs(p.r - c.r) <= tolerance && std::abs(p.g - c.g) <= tolerance &&
          std::abs(p.b - c.b) <= tolerance) {
        ++n;
      }
    }
  }
  return n;
}

void Frame::Save(const std::string& name) const {
  const char* build = std::getenv("FLURRIX_BUILD_DIR");
  const std::filesystem::path dir =
      (build ? std::filesystem::path(build) : std::filesystem::temp_directory_path()) /
      "engine-shots";
  std::filesystem::create_directories(dir);
  FILE* file = std::fopen((dir / (name + ".png")).string().c_str(), "wb");
  if (file == nullptr) return;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Rgba p = At(x, y);
        row[3 * x] = static_cast<uint8_t>(p.r);
        row[3 * x + 1] = static_cast<uint8_t>(p.g);
        row[3 * x + 2] = static_cast<uint8_t>(p.b);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

Screen::Screen(int width, int height) : width_(width), height_(height) {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  window_ = SDL_CreateWindow("engine test", 0, 0, width, height, SDL_WINDOW_OPENGL);
  if (window_ == nullptr) return;
  context_ = SDL_GL_CreateContext(static_cast<SDL_Window*>(window_));
  if (context_ == nullptr) return;
  RTO_InitEngine3D();
  ok_ =
      RTO_OpenScreen(
          width, height, [](const char* name) { return SDL_GL_GetProcAddress(name); },
          [](void* window) { SDL_GL_SwapWindow(static_cast<SDL_Window*>(window)); }, window_) != 0;
}

Screen::~Screen() {
  RTO_CloseScreen();
  RTO_InitEngine3D();
  // The window and its context stay until the process ends. Destroying the last GL window
  // unloads Mesa's driver before the leak check at exit, and the driver's own memory would then
  // be reported as leaks in unknown code.
}

Frame Screen::Read() const {
  Frame f;
  f.width = width_;
  f.height = height_;
  f.bgra.resize(static_cast<size_t>(width_) * height_ * 4);
  RTO_ReadScreen(f.bgra.data(), 4 * width_);
  return f;
}

bool Screen::UseSecondWindow(int width, int height) {
  if (second_ == nullptr) {
    second_ = SDL_CreateWindow("second screen", 0, 0, width, height, SDL_WINDOW_OPENGL);
  }
  return second_ != nullptr && SDL_GL_MakeCurrent(static_cast<SDL_Window*>(second_),
                                                  static_cast<SDL_GLContext>(context_)) == 0;
}

void Screen::UseFirstWindow() {
  SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), static_cast<SDL_GLContext>(context_));
}

Frame Screen::Render() {
  RTO_RenderWorld();
  return Read();
}

double PixelsPerUnit(int screenHeight) {
  return screenHeight / (2 * 22.0 * std::tan(25.0 * 3.14159265358979 / 180.0));
}

int ProgramCamera(int background) {
  const int camera = RTO_CreateCamera(-1, 0, 0, 100, 100);
  RTO_MoveCamera2(camera, 0, 0, 22, RTO_ABSOLUTE);
  RTO_CameraLookAt(camera, 0, 0, 0);
  RTO_CameraBackColor(camera, background);
  RTO_CameraFOV(camera, 50);
  return camera;
}

std::filesystem::path FreshFolder(const std::string& prefix) {
  std::random_device random;
  const auto folder = std::filesystem::temp_directory_path() /
                      (prefix + std::to_string(random()) + "-" + std::to_string(random()));
  std::filesystem::create_directories(folder);
  return folder;
}

int Rgba32(int r, int g, int b, int a) {
  return static_cast<int>(static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 |
                          static_cast<uint32_t>(b) << 16 | static_cast<uint32_t>(a) << 24);
}

}  // namespace enginetest
