#include "canvas.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace artgen {

Color Ramp(const std::vector<Color>& stops, float t) {
  if (stops.size() == 1) return stops[0];
  float f = Clamp01(t) * static_cast<float>(stops.size() - 1);
  size_t i = std::min(static_cast<size_t>(f), stops.size() - 2);
  return Mix(stops[i], stops[i + 1], f - static_cast<float>(i));
}

Canvas::Canvas(int width, int height, Color fill)
    : width_(width),
      height_(height),
      px_(static_cast<size_t>(width) * height,
          {fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a}) {}

Color Canvas::Get(int x, int y) const {
  Color p = At(x, y);
  if (p.a <= 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

Color Canvas::Sample(float x, float y) const {
  x = std::clamp(x - 0.5f, 0.0f, static_cast<float>(width_ - 1));
  y = std::clamp(y - 0.5f, 0.0f, static_cast<float>(height_ - 1));
  int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  int x1 = std::min(x0 + 1, width_ - 1), y1 = std::min(y0 + 1, height_ - 1);
  float fx = x - x0, fy = y - y0;
  Color top = Mix(At(x0, y0), At(x1, y0), fx), bottom = Mix(At(x0, y1), At(x1, y1), fx);
  Color p = Mix(top, bottom, fy);
  if (p.a <= 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::Blend(int x, int y, Color c, float coverage) {
  if (!Inside(x, y)) return;
  float a = c.a * coverage;
  if (a <= 0.0f) return;
  Color& d = At(x, y);
  float k = 1.0f - a;
  d.r = c.r * a + d.r * k;
  d.g = c.g * a + d.g * k;
  d.b = c.b * a + d.b * k;
  d.a = a + d.a * k;
}

void Canvas::AddLight(int x, int y, Color c, float amount) {
  if (!Inside(x, y) || amount <= 0.0f) return;
  Color& d = At(x, y);
  d.r += c.r * amount * d.a;
  d.g += c.g * amount * d.a;
  d.b += c.b * amount * d.a;
}

void Canvas::Composite(const Canvas& top, int x, int y) {
  for (int j = 0; j < top.Height(); ++j) {
    for (int i = 0; i < top.Width(); ++i) {
      if (!Inside(x + i, y + j)) continue;
      const Color& s = top.At(i, j);
      Color& d = At(x + i, y + j);
      float k = 1.0f - s.a;
      d = {s.r + d.r * k, s.g + d.g * k, s.b + d.b * k, s.a + d.a * k};
    }
  }
}

Canvas Downscale(const Canvas& src, int width, int height) {
  Canvas out(width, height);
  float sx = static_cast<float>(src.Width()) / width,
        sy = static_cast<float>(src.Height()) / height;
  for (int y = 0; y < height; ++y) {
    int y0 = static_cast<int>(y * sy), y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sy));
    for (int x = 0; x < width; ++x) {
      int x0 = static_cast<int>(x * sx), x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sx));
      Color sum{0.0f, 0.0f, 0.0f, 0.0f};
      for (int j = y0; j < y1 && j < src.Height(); ++j) {
        for (int i = x0; i < x1 && i < src.Width(); ++i) {
          const Color& p = src.At(i, j);
          sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
        }
      }
      float n = static_cast<float>((y1 - y0) * (x1 - x0));
      out.At(x, y) = {sum.r / n, sum.g / n, sum.b / n, sum.a / n};
    }
  }
  return out;
}

namespace {

// One running-sum box pass along rows (step 1) or columns (step = width).
void BoxPass(std::vector<Color>& data, int count, int length, int stride, int step, int r) {
  std::vector<Color> line(static_cast<size_t>(length));
  for (int l = 0; l < count; ++l) {
    Color* base = data.data() + static_cast<size_t>(l) * stride;
    for (int i = 0; i < length; ++i) line[i] = base[static_cast<size_t>(i) * step];
    Color sum{0.0f, 0.0f, 0.0f, 0.0f};
    auto at = [&](int i) { return line[std::clamp(i, 0, length - 1)]; };
    for (int i = -r; i <= r; ++i) {
      Color p = at(i);
      sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
    }
    float n = 1.0f / static_cast<float>(2 * r + 1);
    for (int i = 0; i < length; ++i) {
      base[static_cast<size_t>(i) * step] = {sum.r * n, sum.g * n, sum.b * n, sum.a * n};
      Color in = at(i + r + 1), out = at(i - r);
      sum = {sum.r + in.r - out.r, sum.g + in.g - out.g, sum.b + in.b - out.b,
             sum.a + in.a - out.a};
    }
  }
}

}  // namespace

void Blur(Canvas& c, float radius) {
  int r = std::max(1, static_cast<int>(std::lround(radius / 1.7f)));
  std::vector<Color> data(static_cast<size_t>(c.Width()) * c.Height());
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) data[static_cast<size_t>(y) * c.Width() + x] = c.At(x, y);
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(data, c.Height(), c.Width(), c.Width(), 1, r);
    BoxPass(data, c.Width(), c.Height(), 1, c.Width(), r);
  }
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) c.At(x, y) = data[static_cast<size_t>(y) * c.Width() + x];
}

namespace {

// Triangular noise in (-1, 1) from two hashed uniforms.
float Tpdf(int x, int y, uint32_t seed) {
  uint32_t h = Hash(x, y, seed);
  return static_cast<float>(h & 0xFFFF) / 65536.0f - static_cast<float>(h >> 16) / 65536.0f;
}

uint8_t Quantise(float v, float dither) {
  float q = std::floor(Clamp01(v) * 255.0f + 0.5f + dither);
  return static_cast<uint8_t>(std::clamp(q, 0.0f, 255.0f));
}

}  // namespace

std::vector<uint8_t> ToRgba8(const Canvas& c, uint32_t ditherSeed) {
  std::vector<uint8_t> out(static_cast<size_t>(c.Width()) * c.Height() * 4);
  uint8_t* o = out.data();
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x, o += 4) {
      Color p = c.Get(x, y);
      // No dither on the alpha channel or on fully transparent pixels: edges stay clean.
      bool seen = p.a > 0.0f;
      o[0] = Quantise(p.r, seen ? Tpdf(x, y, ditherSeed) : 0.0f);
      o[1] = Quantise(p.g, seen ? Tpdf(x, y, ditherSeed + 1) : 0.0f);
      o[2] = Quantise(p.b, seen ? Tpdf(x, y, ditherSeed + 2) : 0.0f);
      o[3] = Quantise(p.a, 0.0f);
    }
  }
  return out;
}

std::vector<uint8_t> ToRgb8(const Canvas& c, uint32_t ditherSeed, Color background) {
  std::vector<uint8_t> out(static_cast<size_t>(c.Width()) * c.Height() * 3);
  uint8_t* o = out.data();
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x, o += 3) {
      const Color& p = c.At(x, y);
      float k = 1.0f - p.a;
      o[0] = Quantise(p.r + background.r * k, Tpdf(x, y, ditherSeed));
      o[1] = Quantise(p.g + background.g * k, Tpdf(x, y, ditherSeed + 1));
      o[2] = Quantise(p.b + background.b * k, Tpdf(x, y, ditherSeed + 2));
    }
  }
  return out;
}

std::vector<uint16_t> ToRgb555(const Canvas& c) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  std::vector<uint16_t> out(static_cast<size_t>(c.Width()) * c.Height());
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      const Color& p = c.At(x, y);
      float d = (kBayer[y & 3][x & 3] + 0.5f) / 16.0f;
      auto q = [&](float v) {
        return static_cast<uint16_t>(std::clamp(std::floor(Clamp01(v) * 31.0f + d), 0.0f, 31.0f));
      };
      out[static_cast<size_t>(y) * c.Width() + x] =
          static_cast<uint16_t>((q(p.r) << 10) | (q(p.g) << 5) | q(p.b));
    }
  }
  return out;
}

}  // namespace artgen
