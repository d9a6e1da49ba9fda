#include "gradients.h"

#include <cmath>
#include <vector>

#include "noise.h"

namespace artgen {

namespace {

struct GradientDef {
  const char* name;
  std::vector<Color> stops;  // along the direction
  float angle;               // direction in degrees, 90 = top to bottom
  Color glow;                // a soft light
  float glowX, glowY, glowSize, glowStrength;
};

const GradientDef& Def(int index) {
  static const std::vector<GradientDef> defs = {
      {"glacier",
       {Rgb(0x0E3B5C), Rgb(0x2E7FA6), Rgb(0x9ED4E6), Rgb(0xE8F6FA)},
       80,
       Rgb(0xFFFFFF),
       0.7f,
       0.85f,
       0.6f,
       0.18f},
      {"twilight",
       {Rgb(0x1A1840), Rgb(0x4A3A7A), Rgb(0xB0709A), Rgb(0xF2B8A0)},
       95,
       Rgb(0xFFC8A0),
       0.5f,
       1.0f,
       0.5f,
       0.25f},
      {"frost",
       {Rgb(0xF4F8FC), Rgb(0xD6E4F2), Rgb(0xA8C2DE)},
       60,
       Rgb(0xFFFFFF),
       0.2f,
       0.15f,
       0.5f,
       0.25f},
      {"polar_night",
       {Rgb(0x02050E), Rgb(0x0A1A36), Rgb(0x163A5E)},
       90,
       Rgb(0x3A6A9A),
       0.5f,
       1.1f,
       0.7f,
       0.35f},
      {"dawn_mist",
       {Rgb(0x8FA6C8), Rgb(0xD8C4D6), Rgb(0xFADCC8)},
       100,
       Rgb(0xFFE8D0),
       0.65f,
       0.9f,
       0.5f,
       0.3f},
      {"evergreen",
       {Rgb(0x0B2A24), Rgb(0x1E4F43), Rgb(0x5E8F80), Rgb(0xC8DDD4)},
       75,
       Rgb(0xE8F4EC),
       0.8f,
       0.9f,
       0.5f,
       0.15f},
      {"snow_glow",
       {Rgb(0xC9C3D8), Rgb(0xF0E6E4), Rgb(0xFFF6EA)},
       270,
       Rgb(0xFFF6E8),
       0.5f,
       0.35f,
       0.45f,
       0.25f},
      {"northern_sky",
       {Rgb(0x04101E), Rgb(0x0B3A48), Rgb(0x1E8A72), Rgb(0x5ED4A0)},
       70,
       Rgb(0x8A6AD0),
       0.2f,
       0.1f,
       0.5f,
       0.25f},
  };
  return defs[static_cast<size_t>(index) % defs.size()];
}

}  // namespace

std::string GradientName(int index) {
  return Def(index).name;
}

Canvas PaintGradient(int index, int width, int height) {
  const GradientDef& d = Def(index);
  Canvas c(width, height, {0, 0, 0, 1});
  const float a = d.angle * 3.14159265f / 180.0f, dx = std::cos(a), dy = std::sin(a);
  // Project the corners so that the ramp spans the whole picture in that direction.
  float lo = 1e9f, hi = -1e9f;
  for (int corner = 0; corner < 4; ++corner) {
    float px = (corner & 1) ? width : 0, py = (corner & 2) ? height : 0;
    lo = std::min(lo, px * dx + py * dy);
    hi = std::max(hi, px * dx + py * dy);
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float u = static_cast<float>(x) / height, v = static_cast<float>(y) / height;
      // A very slow swell keeps the ramp from looking machine-made.
      float swell = 0.035f * Noise(u * 0.9f, v * 0.9f, 9000u + static_cast<uint32_t>(index));
      float t = ((x * dx + y * dy) - lo) / (hi - lo) + swell;
      t = t * t * (3.0f - 2.0f * t) * 0.5f + t * 0.5f;  // ease the ends
      Color col = Ramp(d.stops, t);
      float r = std::hypot(u - d.glowX * width / height, v - d.glowY) / d.glowSize;
      col = Mix(col, d.glow, d.glowStrength * std::exp(-r * r));
      c.At(x, y) = {col.r, col.g, col.b, 1.0f};
    }
  }
  return c;
}

}  // namespace artgen
