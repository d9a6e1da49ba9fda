// A real OpenGL 3.3 core context for the engine tests (SDL's offscreen driver: EGL on Mesa, no
// display), the engine's screen opened on it, and frames read back as RGBA.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace enginetest {

struct Rgba {
  int r = 0, g = 0, b = 0, a = 0;
};

struct Frame {
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;  // bottom row first, as the engine hands it out
  Rgba At(int x, int yFromTop) const;
  // Pixels that are near the given colour (each channel within `tolerance`).
  int Count(Rgba colour, int tolerance, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const;
  // Writes a PNG under the build folder (engine-shots/) for a person to look at.
  void Save(const std::string& name) const;
};

class Screen {
 public:
  Screen(int width, int height);
  ~Screen();
  bool ok() const { return ok_; }
  Frame Render();      // RTO_RenderWorld, then the frame read back
  Frame Read() const;  // the window that is current
  // A second window of this size on the same context, made current; back to the first.
  bool UseSecondWindow(int width, int height);
  void UseFirstWindow();
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  void* window_ = nullptr;
  void* second_ = nullptr;
  void* context_ = nullptr;
  bool ok_ = false;
};

// Pixels per world unit in the plane z = 0 seen from the program's camera (0, 0, 22), 50 degrees.
double PixelsPerUnit(int screenHeight);

// The program's camera: whole screen, at (0, 0, 22), looking at the origin, 50 degree view.
int ProgramCamera(int background);

// A texture of the given number filled by `paint(x, yFromTop)` returning packed BGRA (0xAARRGGBB).
template <class Paint>
int PaintedTexture(int number, int width, int height, Paint paint);

int Rgba32(int r, int g, int b, int a = 255);  // the engine's packed colour

// A new empty folder under the temporary folder, of this run alone.
std::filesystem::path FreshFolder(const std::string& prefix);

}  // namespace enginetest

#include "flurrix_engine.h"

template <class Paint>
int enginetest::PaintedTexture(int number, int width, int height, Paint paint) {
  const int made = RTO_CreateTexture(number, width, height);
  if (made == 0) return 0;
  const int texture = number == -1 ? made : number;
  int w = 0, h = 0, pitch = 0;
  auto* pixels = static_cast<uint8_t*>(RTO_LockTexture(texture, &w, &h, &pitch));
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(h - 1 - y) * pitch);
    for (int x = 0; x < w; ++x) row[x] = paint(x, y);
  }
  RTO_UnlockTexture(texture);
  return made;
}
