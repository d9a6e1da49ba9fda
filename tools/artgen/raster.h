// Anti-aliased shapes described by signed distance (pixels, negative inside), for the crisp small
// pictures: flakes, icons, lettering ornaments.
#pragma once

#include <functional>
#include <vector>

#include "canvas.h"

namespace artgen {

using Sdf = std::function<float(float x, float y)>;

struct Point {
  float x = 0.0f, y = 0.0f;
};

float SdCircle(float x, float y, float cx, float cy, float r);
float SdSegment(float x, float y, Point a, Point b);  // unsigned distance to the segment
float SdBox(float x, float y, float cx, float cy, float hw, float hh, float round = 0.0f);
float SdPolygon(float x, float y, const std::vector<Point>& poly);  // any simple polygon

// Area covered by the shape in pixel (px, py): n x n samples, each with a sub-sample ramp.
float Coverage(const Sdf& shape, int px, int py, int n);

// Paints the shape in colour over the whole canvas (or the given pixel box).
void Fill(Canvas& c, const Sdf& shape, Color color, int samples = 4);
void Fill(Canvas& c, const Sdf& shape, Color color, int x0, int y0, int x1, int y1,
          int samples = 4);

}  // namespace artgen
