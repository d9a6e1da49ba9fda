#include "scene/geometry.h"

namespace scene {

Geometry MakeGeometry(int32_t screenWidth, int32_t screenHeight) {
  Geometry g;
  const float aspect = static_cast<float>(screenWidth) / static_cast<float>(screenHeight);
  g.planeHeight = kCameraDistance * kScreenFill;
  g.planeWidth = g.planeHeight * aspect;
  g.unitsPerPixel = g.planeWidth / static_cast<float>(screenWidth);
  g.leftEdge = -0.5f * g.planeWidth;
  g.topEdge = 0.5f * g.planeHeight;
  return g;
}

WorldPoint AnchorToWorld(const Geometry& g, int32_t sx, int32_t sy, const Margins& m) {
  float px =
      static_cast<float>(int64_t{sx} + (sx >= 0 ? m.xPositive : m.xNegative)) * g.unitsPerPixel;
  if (sx < 0) px += g.planeWidth;
  float py =
      static_cast<float>(int64_t{sy} + (sy >= 0 ? m.yPositive : m.yNegative)) * g.unitsPerPixel;
  if (sy < 0) py += g.planeHeight;
  return {g.leftEdge + px, g.topEdge - py, 0.0f};
}

}  // namespace scene
