// Where a batch lands in a viewport, worked out on the CPU with the transforms its vertex shader
// uses: the pixels its instances may touch, whether one of them covers every pixel, and how many
// texels of a texture one pixel steps over. The renderer uses the answers to leave out work that
// cannot change a pixel; where an answer cannot be had cheaply it is the one that leaves nothing
// out.
#pragma once

#include "math3d.h"
#include "scene.h"

namespace engine {

struct PixelRect {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // viewport pixels, y up
  bool Empty() const { return !(x1 > x0 && y1 > y0); }
  void Add(const PixelRect& r);
};

class Footprint {
 public:
  Footprint(const Mat4& viewProj, int width, int height)
      : viewProj_(viewProj), width_(width), height_(height) {}

  // Adds the pixels that the first `count` instances of `world` (12 floats each) can touch to
  // `out`; false when that is not known (a point behind the eye, or too many to look at).
  bool AddBounds(const Mesh& mesh, const float* world, size_t count, PixelRect& out) const;
  // The same for `count` points (x, y, z every `stride` floats) placed by one `world` transform.
  bool AddBounds(const float* world, const float* points, size_t count, size_t stride,
                 PixelRect& out) const;
  // True when one of the instances is a flat quad whose front (or either side with `cull` false)
  // covers the whole viewport.
  bool CoversViewport(const Mesh& mesh, const float* world, size_t count, int cull) const;
  // True when no pixel step crosses more than one texel of a `texWidth` x `texHeight` texture
  // anywhere on the instances, their texture coordinates turned about the centre by (cos, sin):
  // the texture is nowhere minified. False too unless every triangle lies at one depth from the
  // eye (no perspective across it) and there are few enough to look at.
  bool NowhereMinified(const Mesh& mesh, const float* world, size_t count, float cos, float sin,
                       int texWidth, int texHeight) const;

 private:
  struct Point {
    float x, y, w;  // viewport pixels and the clip-space w
  };
  Point Project(const float* world, const float* vertex) const;

  Mat4 viewProj_;
  int width_, height_;
};

}  // namespace engine
