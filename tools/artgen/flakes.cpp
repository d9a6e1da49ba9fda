#include "flakes.h"

#include <algorithm>
#include <cmath>

#include "raster.h"

namespace artgen {

namespace {

constexpr float kPi = 3.14159265f;

// A point folded into one twelfth of a six-fold crystal: u runs along the arm, v >= 0 across it.
struct Folded {
  float u, v;
};

// Arms point straight up first, so the upright arm falls on whole pixels.
Folded SixFold(float x, float y) {
  float r = std::hypot(x, y);
  float a = std::atan2(-y, x) - kPi / 2.0f;
  a = std::fmod(a + kPi / 6.0f, kPi / 3.0f);
  if (a < 0.0f) a += kPi / 3.0f;
  a = std::fabs(a - kPi / 6.0f);
  return {r * std::cos(a), r * std::sin(a)};
}

float Seg(Folded p, float u0, float v0, float u1, float v1) {
  return SdSegment(p.u, p.v, {u0, v0}, {u1, v1});
}

// A side branch leaving the arm at t, angled 60 degrees outwards.
float Branch(Folded p, float t, float length) {
  return Seg(p, t, 0.0f, t + 0.5f * length, 0.866f * length);
}

// Regular hexagon with corners on the arms, radius r (corner distance).
float Hexagon(Folded p, float r) {
  return p.u * 0.866f + p.v * 0.5f - r * 0.866f;
}

// Signed distance (in units of the flake radius) of each kind.
float KindShape(int kind, Folded p) {
  switch (kind) {
    case 1: {  // stellar dendrite: long arms, three pairs of branches
      float d = Seg(p, 0, 0, 0.96f, 0) - 0.085f;
      d = std::min(d, Branch(p, 0.34f, 0.40f) - 0.065f);
      d = std::min(d, Branch(p, 0.60f, 0.30f) - 0.065f);
      d = std::min(d, Branch(p, 0.80f, 0.14f) - 0.06f);
      return std::min(d, Hexagon(p, 0.20f));
    }
    case 2: {  // fern: slim arms feathered with many short branches
      float d = Seg(p, 0, 0, 0.97f, 0) - 0.07f;
      for (int i = 0; i < 5; ++i) {
        float t = 0.25f + 0.15f * i;
        d = std::min(d, Branch(p, t, 0.26f - 0.04f * i) - 0.05f);
      }
      return d;
    }
    case 3: {  // simple star crystal: plain arms with round tips
      float d = Seg(p, 0, 0, 0.78f, 0) - 0.08f;
      d = std::min(d, std::hypot(p.u - 0.8f, p.v) - 0.15f);
      return std::min(d, Hexagon(p, 0.18f));
    }
    case 4: {  // hexagonal plate with a ridge ring and stubby corners
      float plate = Hexagon(p, 0.70f);
      float ring = std::fabs(Hexagon(p, 0.42f)) - 0.05f;
      float spike = Seg(p, 0.6f, 0, 0.9f, 0) - 0.08f;
      return std::min({plate, ring, spike});
    }
    case 6: {  // capped columns: arms ending in small plates
      float d = Seg(p, 0, 0, 0.62f, 0) - 0.08f;
      Folded tip{p.u - 0.74f, p.v};
      float cap = std::max(std::fabs(tip.u) - 0.16f, std::fabs(tip.v) - 0.17f + 0.5f * tip.u);
      d = std::min(d, cap);
      d = std::min(d, std::fabs(Hexagon(p, 0.34f)) - 0.06f);
      return std::min(d, Hexagon(p, 0.14f));
    }
    case 7:  // the classic: bold arms, one pair of broad branches, solid heart
    default: {
      float d = Seg(p, 0, 0, 0.93f, 0) - 0.10f;
      d = std::min(d, Branch(p, 0.48f, 0.34f) - 0.085f);
      d = std::min(d, Branch(p, 0.74f, 0.16f) - 0.07f);
      return std::min(d, Hexagon(p, 0.26f));
    }
  }
}

// Five-pointed star with rounded points, in units of the radius, point up.
float Star(float x, float y) {
  std::vector<Point> pts;
  for (int i = 0; i < 10; ++i) {
    float a = -kPi / 2.0f + kPi * i / 5.0f;
    float r = (i % 2 == 0) ? 0.92f : 0.40f;
    pts.push_back({r * std::cos(a), r * std::sin(a) + 0.06f});
  }
  return SdPolygon(x, y, pts) - 0.04f;
}

const Color kIce = Rgb(0xD6E8FF);
const Color kWhite = Rgb(0xFFFFFF);

}  // namespace

Canvas PaintFlake(int kind, int size) {
  Canvas c(size, size);
  float centre = size * 0.5f;
  // Leave a clear pixel at the rim (more on bigger pictures) so nothing is cut at the edge.
  float radius = centre - std::max(1.6f, size * 0.04f);
  if (kind == 5) {  // soft round flake: a fluffy ball, opaque core, feathered rim
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        float r = std::hypot(x + 0.5f - centre, y + 0.5f - centre) / radius;
        float a = std::exp(-3.2f * r * r) * SmoothStep(1.0f, 0.78f, r);
        c.Blend(x, y, Mix(kIce, kWhite, Clamp01(1.2f - r)), std::min(1.0f, a * 1.35f));
      }
    }
    return c;
  }
  auto shape = [&](float x, float y) {
    float ux = (x - centre) / radius, uy = (y - centre) / radius;
    float d = kind == 8 ? Star(ux, uy) : KindShape(kind, SixFold(ux, uy));
    return d * radius;
  };
  if (kind == 8) {  // the star carries a faint halo so it glows rather than sits
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        float d = shape(x + 0.5f, y + 0.5f) / radius;
        float rim = std::hypot(x + 0.5f - centre, y + 0.5f - centre);
        float inside = SmoothStep(centre - 0.5f, centre - 2.5f, rim);  // keep the rim clear
        if (d > 0.0f) c.Blend(x, y, Rgb(0xFFF4D8), 0.35f * std::exp(-d * 9.0f) * inside);
      }
    }
  }
  Color body = kind == 8 ? Rgb(0xFFF6DC) : kWhite;
  Fill(c, shape, body, size <= 16 ? 8 : 4);
  if (size >= 32) {
    // Bigger pictures get a cool tint towards the crystal's edges, like light in ice.
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        float d = -shape(x + 0.5f, y + 0.5f);
        if (d > 0.0f && c.At(x, y).a > 0.0f)
          c.Blend(x, y, kIce, 0.55f * (1.0f - Clamp01(d / (size * 0.035f))) * c.At(x, y).a);
      }
    }
  }
  return c;
}

Canvas PaintLargeFlake(int size) {
  Canvas c(size, size);
  float centre = size * 0.5f, radius = centre - size * 0.04f;
  auto shape = [&](float x, float y) {
    Folded p = SixFold((x - centre) / radius, (y - centre) / radius);
    float d = Seg(p, 0, 0, 0.97f, 0) - 0.045f;
    // Main branches, each carrying its own small side branches.
    const float ts[] = {0.30f, 0.52f, 0.72f, 0.86f};
    const float ls[] = {0.38f, 0.33f, 0.22f, 0.10f};
    for (int i = 0; i < 4; ++i) {
      d = std::min(d, Branch(p, ts[i], ls[i]) - 0.032f);
      for (float s = 0.35f; s < 0.9f; s += 0.3f) {
        float bu = ts[i] + 0.5f * ls[i] * s, bv = 0.866f * ls[i] * s;
        d = std::min(d, Seg(p, bu, bv, bu + 0.09f * (1.0f - s * 0.5f), bv) - 0.02f);
      }
    }
    d = std::min(d, std::fabs(Hexagon(p, 0.2f)) - 0.03f);
    d = std::min(d, Hexagon(p, 0.09f));
    return d * radius;
  };
  // A soft glow under the crystal keeps it readable on light pictures too.
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float d = shape(x + 0.5f, y + 0.5f);
      if (d > 0.0f) c.Blend(x, y, Rgb(0xBFD8FF), 0.30f * std::exp(-d / (size * 0.02f)));
    }
  }
  Fill(c, shape, kWhite, 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float d = -shape(x + 0.5f, y + 0.5f);
      if (d > 0.0f) c.Blend(x, y, kIce, 0.6f * (1.0f - Clamp01(d / (size * 0.02f))));
    }
  }
  return c;
}

}  // namespace artgen
