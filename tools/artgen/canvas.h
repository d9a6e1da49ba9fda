// The painting surface: floating-point colour with premultiplied alpha, and the step that turns it
// into dithered 8-bit (or 5-bit) pixels for the encoders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artgen {

// A colour with straight (not premultiplied) alpha, components 0..1 (light may exceed 1).
struct Color {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

inline Color Rgb(int hex, float a = 1.0f) {
  return {((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f, a};
}
inline Color Mix(Color p, Color q, float t) {
  return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t,
          p.a + (q.a - p.a) * t};
}
inline Color Scale(Color c, float k) {
  return {c.r * k, c.g * k, c.b * k, c.a};
}
inline Color Add(Color p, Color q) {
  return {p.r + q.r, p.g + q.g, p.b + q.b, p.a};
}
inline Color Mul(Color p, Color q) {
  return {p.r * q.r, p.g * q.g, p.b * q.b, p.a};
}
inline Color WithAlpha(Color c, float a) {
  return {c.r, c.g, c.b, a};
}

inline float Clamp01(float v) {
  return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float SmoothStep(float e0, float e1, float v) {
  float t = Clamp01((v - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}

// Colour at t (0..1) along evenly spaced stops.
Color Ramp(const std::vector<Color>& stops, float t);

class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Color fill = {0.0f, 0.0f, 0.0f, 0.0f});

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Premultiplied pixel (r, g, b already multiplied by a).
  Color& At(int x, int y) { return px_[static_cast<size_t>(y) * width_ + x]; }
  const Color& At(int x, int y) const { return px_[static_cast<size_t>(y) * width_ + x]; }

  // Straight colour of a pixel.
  Color Get(int x, int y) const;
  // Bilinear sample of the straight colour, coordinates clamped to the picture.
  Color Sample(float x, float y) const;

  // Source-over of a straight colour whose alpha is further scaled by coverage.
  void Blend(int x, int y, Color c, float coverage = 1.0f);
  // Adds light to the colour channels (for glows, stars, aurora).
  void AddLight(int x, int y, Color c, float amount);

  // Paints `top` over this canvas at (x, y).
  void Composite(const Canvas& top, int x, int y);

 private:
  int width_ = 0, height_ = 0;
  std::vector<Color> px_;
};

// Box-filter resampling to a smaller size (area average), for previews and the contact sheet.
Canvas Downscale(const Canvas& src, int width, int height);

// A separable blur of the whole canvas (three box passes, close to a Gaussian of this radius).
void Blur(Canvas& c, float radius);

// 8-bit straight RGBA, top row first, with triangular dither of one step so that smooth
// gradients show no bands.
std::vector<uint8_t> ToRgba8(const Canvas& c, uint32_t ditherSeed);
// 8-bit RGB, top row first, the colour composited over `background`, dithered likewise.
std::vector<uint8_t> ToRgb8(const Canvas& c, uint32_t ditherSeed, Color background = {});

// 16-bit 5-5-5 pixels (red in bits 10-14, blue in 0-4), top row first, opaque, with an ordered
// dither that keeps small pictures calm.
std::vector<uint16_t> ToRgb555(const Canvas& c);

}  // namespace artgen
