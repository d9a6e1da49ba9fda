#include "raster.h"

#include <algorithm>
#include <cmath>

namespace artgen {

float SdCircle(float x, float y, float cx, float cy, float r) {
  return std::hypot(x - cx, y - cy) - r;
}

float SdSegment(float x, float y, Point a, Point b) {
  float px = x - a.x, py = y - a.y, bx = b.x - a.x, by = b.y - a.y;
  float len2 = bx * bx + by * by;
  float t = len2 > 0.0f ? std::clamp((px * bx + py * by) / len2, 0.0f, 1.0f) : 0.0f;
  return std::hypot(px - bx * t, py - by * t);
}

float SdBox(float x, float y, float cx, float cy, float hw, float hh, float round) {
  float dx = std::fabs(x - cx) - (hw - round), dy = std::fabs(y - cy) - (hh - round);
  float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
  return outside + std::min(std::max(dx, dy), 0.0f) - round;
}

float SdPolygon(float x, float y, const std::vector<Point>& poly) {
  float d = 1e9f;
  bool inside = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const Point& a = poly[j];
    const Point& b = poly[i];
    d = std::min(d, SdSegment(x, y, a, b));
    if ((b.y > y) != (a.y > y) && x < (a.x - b.x) * (y - b.y) / (a.y - b.y) + b.x) inside = !inside;
  }
  return inside ? -d : d;
}

float Coverage(const Sdf& shape, int px, int py, int n) {
  float sum = 0.0f, step = 1.0f / static_cast<float>(n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      float d = shape(static_cast<float>(px) + (static_cast<float>(i) + 0.5f) * step,
                      static_cast<float>(py) + (static_cast<float>(j) + 0.5f) * step);
      sum += std::clamp(0.5f - d * static_cast<float>(n), 0.0f, 1.0f);
    }
  }
  return sum * step * step;
}

void Fill(Canvas& c, const Sdf& shape, Color color, int samples) {
  Fill(c, shape, color, 0, 0, c.Width(), c.Height(), samples);
}

void Fill(Canvas& c, const Sdf& shape, Color color, int x0, int y0, int x1, int y1, int samples) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, c.Width());
  y1 = std::min(y1, c.Height());
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      // Far from the edge the answer is plain: skip the sub-samples.
      float d = shape(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
      float cov = d > 1.0f ? 0.0f : (d < -1.0f ? 1.0f : Coverage(shape, x, y, samples));
      if (cov > 0.0f) c.Blend(x, y, color, cov);
    }
  }
}

}  // namespace artgen
