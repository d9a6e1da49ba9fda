// Where things stand on screen: the size of the screen-filling planes seen by the run's camera,
// and the rule that turns a pixel position setting into a world point.
#pragma once

#include <cstdint>

namespace scene {

inline constexpr float kCameraDistance = 22.0f;
inline constexpr float kCameraFieldOfView = 50.0f;
inline constexpr float kScreenFill = 0.935f;

struct Geometry {
  float planeWidth = 0;   // W
  float planeHeight = 0;  // H
  float unitsPerPixel = 0;
  float leftEdge = 0;
  float topEdge = 0;
};

Geometry MakeGeometry(int32_t screenWidth, int32_t screenHeight);

// Margins in pixels, for settings that are not negative and for negative ones.
struct Margins {
  int32_t xPositive, xNegative, yPositive, yNegative;
};
inline constexpr Margins kTextMargins{6, 46, 40, 62};  // foreground text, digital clock
inline constexpr Margins kCalendarMargins{8, 46, 24, 62};
inline constexpr Margins kAnalogClockMargins{1, -1, 1, -1};

struct WorldPoint {
  float x = 0, y = 0, z = 0;
};

// The world point (at z = 0) of pixel setting (sx, sy): negative settings count from the right or
// bottom edge.
WorldPoint AnchorToWorld(const Geometry& g, int32_t sx, int32_t sy, const Margins& margins);

}  // namespace scene
