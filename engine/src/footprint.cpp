#include "footprint.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

namespace {

// Vertices or triangles looked at per question; beyond, the answer is the safe one.
constexpr size_t kMaxWork = 1024;
constexpr float kNearestW = 1e-3f;  // points nearer the eye than this count as behind it
constexpr size_t kStride = 8;       // floats per mesh vertex: position, normal, uv

float Cross2(float ax, float ay, float bx, float by) {
  return ax * by - ay * bx;
}

}  // namespace

Footprint::Point Footprint::Project(const float* world, const float* vertex) const {
  const Vec3 p = TransformPoint(world, {vertex[0], vertex[1], vertex[2]});
  const float* m = viewProj_.m;
  const float x = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
  const float y = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
  const float w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
  if (!(w > kNearestW)) return {0, 0, w};
  return {(x / w + 1) * 0.5f * static_cast<float>(width_),
          (y / w + 1) * 0.5f * static_cast<float>(height_), w};
}

void PixelRect::Add(const PixelRect& r) {
  if (r.Empty()) return;
  if (Empty()) {
    *this = r;
    return;
  }
  *this = {std::min(x0, r.x0), std::min(y0, r.y0), std::max(x1, r.x1), std::max(y1, r.y1)};
}

bool Footprint::AddBounds(const float* world, const float* points, size_t count, size_t stride,
                          PixelRect& out) const {
  if (count == 0) return true;
  if (count > kMaxWork) return false;
  PixelRect r{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
              std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
  for (size_t v = 0; v < count; ++v) {
    const Point p = Project(world, points + v * stride);
    if (!(p.w > kNearestW) || !std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    r = {std::min(r.x0, p.x), std::min(r.y0, p.y), std::max(r.x1, p.x), std::max(r.y1, p.y)};
  }
  out.Add(r);
  return true;
}

bool Footprint::AddBounds(const Mesh& mesh, const float* world, size_t count,
                          PixelRect& out) const {
  const size_t vertices = mesh.vertices.size() / kStride;
  if (count * vertices > kMaxWork) return false;
  for (size_t i = 0; i < count; ++i) {
    if (!AddBounds(world + 12 * i, mesh.vertices.data(), vertices, kStride, out)) return false;
  }
  return true;
}

bool Footprint::CoversViewport(const Mesh& mesh, const float* world, size_t count, int cull) const {
  // Two triangles (a, b, c) and (a, c, d) that make the quad a-b-c-d.
  const std::vector<uint32_t>& ix = mesh.indices;
  if (ix.size() != 6 || ix[3] != ix[0] || ix[4] != ix[2]) return false;
  const uint32_t order[4] = {ix[0], ix[1], ix[2], ix[5]};
  for (uint32_t k : order) {
    if (static_cast<size_t>(k) * kStride + 3 > mesh.vertices.size()) return false;
  }
  const float w = static_cast<float>(width_), h = static_cast<float>(height_);
  const float corners[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
  for (size_t i = 0; i < std::min(count, kMaxWork / 4); ++i) {
    Point q[4];
    bool inFront = true;
    for (int k = 0; k < 4; ++k) {
      q[k] = Project(world + 12 * i, &mesh.vertices[order[k] * kStride]);
      inFront = inFront && q[k].w > kNearestW;
    }
    if (!inFront) continue;
    // Counter-clockwise on the screen is the front. A convex quad has every turn the same way.
    float area = 0;
    for (int k = 0; k < 4; ++k) {
      area += Cross2(q[k].x, q[k].y, q[(k + 1) % 4].x, q[(k + 1) % 4].y);
    }
    const float sense = area > 0 ? 1.0f : -1.0f;
    if (area == 0 || (cull == RTO_CULL_BACK && sense < 0) ||
        (cull == RTO_CULL_FRONT && sense > 0)) {
      continue;
    }
    bool covers = true;
    for (int k = 0; k < 4 && covers; ++k) {
      const Point& a = q[k];
      const Point& b = q[(k + 1) % 4];
      const Point& c = q[(k + 2) % 4];
      covers = sense * Cross2(b.x - a.x, b.y - a.y, c.x - b.x, c.y - b.y) > 0;
      for (const auto& p : corners) {
        covers = covers && sense * Cross2(b.x - a.x, b.y - a.y, p[0] - a.x, p[1] - a.y) >= 0;
      }
    }
    if (covers) return true;
  }
  return false;
}

bool Footprint::NowhereMinified(const Mesh& mesh, const float* world, size_t count, float cos,
                                float sin, int texWidth, int texHeight) const {
  const std::vector<uint32_t>& ix = mesh.indices;
  const size_t triangles = ix.size() / 3;
  if (count == 0 || count * triangles > kMaxWork) return false;
  for (uint32_t k : ix) {
    if (static_cast<size_t>(k) * kStride + 8 > mesh.vertices.size()) return false;
  }
  const float tw = static_cast<float>(texWidth), th = static_cast<float>(texHeight);
  for (size_t i = 0; i < count; ++i) {
    for (size_t t = 0; t < triangles; ++t) {
      Point p[3];
      const float* uv[3];
      for (int k = 0; k < 3; ++k) {
        const float* vertex = &mesh.vertices[ix[3 * t + k] * kStride];
        p[k] = Project(world + 12 * i, vertex);
        uv[k] = vertex + 6;
        if (!(p[k].w > kNearestW)) return false;
      }
      // Texture coordinates change linearly across the pixels only at one depth.
      const float w0 = p[0].w;
      for (int k = 1; k < 3; ++k) {
        if (std::fabs(p[k].w - w0) > 1e-5f * w0) return false;
      }
      const float e1x = p[1].x - p[0].x, e1y = p[1].y - p[0].y;
      const float e2x = p[2].x - p[0].x, e2y = p[2].y - p[0].y;
      const float det = Cross2(e1x, e1y, e2x, e2y);
      if (std::fabs(det) < 1e-6f) continue;  // no area: no pixels
      const float f1u = uv[1][0] - uv[0][0], f1v = uv[1][1] - uv[0][1];
      const float f2u = uv[2][0] - uv[0][0], f2v = uv[2][1] - uv[0][1];
      // Texture coordinates per pixel step along x and along y, turned as the shader turns them,
      // in texels.
      const float steps[2][2] = {{(f1u * e2y - f2u * e1y) / det, (f1v * e2y - f2v * e1y) / det},
                                 {(f2u * e1x - f1u * e2x) / det, (f2v * e1x - f1v * e2x) / det}};
      for (const auto& s : steps) {
        const float du = (cos * s[0] - sin * s[1]) * tw;
        const float dv = (sin * s[0] + cos * s[1]) * th;
        if (!(du * du + dv * dv <= 1.0f)) return false;
      }
    }
  }
  return true;
}

}  // namespace engine
