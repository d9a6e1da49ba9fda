// The sky: gradient, glow of the light, clouds, stars, aurora and the sun or moon.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "scene_parts.h"

namespace artgen {

namespace {

void Aurora(Canvas& c, const SkyDef& sky) {
  const int w = c.Width(), h = c.Height();
  const float horizon = sky.horizon * h;
  // Ribbons of light: a bright, sharp lower edge that folds across the sky, rays rising from
  // it and fading upwards, brighter and dimmer stretches along its length.
  struct Ribbon {
    float base, tilt, amp, height, strength;
    uint32_t seed;
  };
  const Ribbon ribbons[] = {{0.38f, -0.18f, 0.08f, 0.26f, 2.2f, 1},
                            {0.22f, -0.10f, 0.06f, 0.18f, 1.2f, 2}};
  const Color green = Rgb(0x4DFFA0), teal = Rgb(0x30D8C0), violet = Rgb(0xA060FF);
  for (const Ribbon& r : ribbons) {
    uint32_t seed = sky.seed * 31u + r.seed;
    for (int x = 0; x < w; ++x) {
      float u = static_cast<float>(x) / w;
      float fold = Fbm1(u * 2.2f, seed, 4);
      float base = (r.base + r.tilt * (u - 0.5f) + r.amp * fold) * h;
      float bright = SmoothStep(-0.35f, 0.45f, Fbm1(u * 1.7f + 3.0f, seed + 5, 3));
      float tall = r.height * h * (0.7f + 0.5f * (0.5f + 0.5f * Fbm1(u * 3.0f, seed + 9, 2)));
      if (bright <= 0.0f) continue;
      int top = std::max(0, static_cast<int>(base - tall * 3.5f));
      int bottom = std::min(static_cast<int>(horizon), static_cast<int>(base + 0.03f * h));
      for (int y = top; y < bottom; ++y) {
        float above = (base - y) / tall;  // 0 at the lower edge, 1 one ribbon height up
        // Rays lean slightly and shimmer; low contrast keeps them silky.
        float ray = 0.7f + 0.3f * Fbm1(u * 60.0f + above * 0.35f, seed + 13, 3);
        float i = above < 0.0f ? std::exp(above * 18.0f)
                               : std::exp(-above * 1.3f) * (0.6f + 0.4f * std::exp(-above * 6.0f));
        Color col = above < 0.5f ? Mix(green, teal, Clamp01(above / 0.5f))
                                 : Mix(teal, violet, Clamp01((above - 0.5f) / 1.5f));
        c.AddLight(x, y, col, 0.5f * r.strength * bright * ray * i);
      }
    }
  }
}

void Stars(Canvas& c, const SkyDef& sky) {
  const int w = c.Width(), h = c.Height();
  const float horizon = sky.horizon * h;
  Rng rng(sky.seed * 7919u + 3);
  float scale = h / 1080.0f;
  for (int i = 0; i < sky.stars; ++i) {
    float x = rng.Range(0.0f, static_cast<float>(w)), y = rng.Range(0.0f, horizon);
    float u = rng.Uniform();
    float bright = 0.08f + 0.9f * std::pow(u, 7.0f);
    float tint = rng.Uniform();
    float dx = x / h - sky.lightX * w / h, dy = (y - sky.lightY * h) / h;
    // Fainter low in the sky and near the moon, where the air is brighter.
    float fade =
        std::pow(Clamp01(1.0f - y / horizon), 0.6f) * SmoothStep(0.05f, 0.25f, std::hypot(dx, dy));
    // Only where the sky is dark enough to show them (dusk keeps its stars high up).
    Color behind = c.Get(std::clamp(static_cast<int>(x), 0, w - 1), static_cast<int>(y));
    fade *= Clamp01(1.0f - 2.6f * (0.3f * behind.r + 0.59f * behind.g + 0.11f * behind.b));
    Color col = tint < 0.2f ? Rgb(0xFFE2C0) : (tint < 0.6f ? Rgb(0xFFFFFF) : Rgb(0xCADBFF));
    float radius = (0.55f + 1.1f * bright) * scale;
    int r = static_cast<int>(std::ceil(radius * 3.0f));
    for (int j = -r; j <= r; ++j) {
      for (int k = -r; k <= r; ++k) {
        float px = std::floor(x) + k + 0.5f - x, py = std::floor(y) + j + 0.5f - y;
        float g = std::exp(-(px * px + py * py) / (2.0f * radius * radius));
        c.AddLight(static_cast<int>(x) + k, static_cast<int>(y) + j, col, bright * fade * g * 1.4f);
      }
    }
  }
}

void Clouds(Canvas& c, const SkyDef& sky) {
  const int w = c.Width(), h = c.Height();
  // Clouds are soft: paint them at half size and lay them on smoothly.
  const int hw = w / 2 + 1, hh = h / 2 + 1;
  Canvas layer(hw, hh);
  float y0 = sky.cloudTop * h, y1 = sky.cloudBottom * h;
  float lx = sky.lightX * w, ly = sky.lightY * h;
  for (int j = 0; j < hh; ++j) {
    float y = j * 2.0f;
    float band = SmoothStep(y0 - h * 0.1f, y0, y) * SmoothStep(y1 + h * 0.1f, y1, y);
    if (band <= 0.0f) continue;
    for (int i = 0; i < hw; ++i) {
      float x = i * 2.0f;
      float u = x / h, v = y / h;
      // Long thin banks: stretched across, with a warp so they do not look combed.
      float warp = Fbm(u * 1.2f, v * 3.0f, sky.seed + 61, 3);
      float d = Fbm(u * 1.6f + warp * 0.6f, v * 9.0f, sky.seed + 71, 6);
      float cover = SmoothStep(0.45f - sky.clouds * 0.6f, 0.85f - sky.clouds * 0.5f, d + 0.5f);
      cover *= band * Clamp01(sky.clouds * 1.5f);
      if (cover <= 0.001f) continue;
      // Lit from below where the cloud thins downwards, and near the light.
      float below = Fbm(u * 1.6f + warp * 0.6f, v * 9.0f - 0.12f, sky.seed + 71, 3);
      float lit = Clamp01(0.45f + 1.8f * (d - below));
      float near = std::exp(-std::hypot(x - lx, (y - ly) * 1.5f) / (h * 0.45f));
      Color col = Mix(sky.cloudShade, sky.cloudLit, Clamp01(lit * 0.7f + near * 0.8f));
      layer.Blend(i, j, col, cover * 0.9f);
    }
  }
  for (int y = std::max(0, static_cast<int>(y0 - h * 0.1f));
       y < std::min(h, static_cast<int>(y1 + h * 0.1f) + 1); ++y)
    for (int x = 0; x < w; ++x) {
      Color s = layer.Sample(x * 0.5f + 0.25f, y * 0.5f + 0.25f);
      if (s.a > 0.0f) c.Blend(x, y, s, 1.0f);
    }
}

void Disc(Canvas& c, const SkyDef& sky) {
  const int h = c.Height();
  float cx = sky.lightX * c.Width(), cy = sky.lightY * h, r = sky.discSize * h;
  int x0 = static_cast<int>(cx - r - 2), x1 = static_cast<int>(cx + r + 2);
  int y0 = static_cast<int>(cy - r - 2), y1 = static_cast<int>(cy + r + 2);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      float d = std::hypot(dx, dy);
      float cov = Clamp01(r - d + 0.5f);
      if (cov <= 0.0f) continue;
      Color col = sky.light;
      if (sky.disc == 2) {
        // Moon: soft grey seas and a little limb darkening.
        float seas = Fbm(dx / r * 1.3f + 4.0f, dy / r * 1.3f, sky.seed + 5, 4);
        float shade = 1.0f - 0.16f * SmoothStep(-0.1f, 0.4f, seas) - 0.10f * (d / r) * (d / r);
        col = Scale(Mix(col, Rgb(0xFFFFFF), 0.5f), shade);
      } else {
        col = Add(col, Scale(Rgb(0xFFFFFF), 0.6f));
      }
      c.Blend(x, y, col, cov);
    }
  }
}

}  // namespace

void PaintSky(Canvas& c, const SkyDef& sky) {
  const int w = c.Width(), h = c.Height();
  float lx = sky.lightX * w, ly = sky.lightY * h, horizon = sky.horizon * h;
  for (int y = 0; y < h; ++y) {
    Color base = Ramp(sky.stops, static_cast<float>(y) / horizon);
    for (int x = 0; x < w; ++x) {
      float d = std::hypot(x - lx, y - ly) / h;
      // A tight bright halo and a broad warm wash around the light, and haze along the horizon.
      float glow = sky.glow * (0.55f * std::exp(-d / (sky.glowSize * 0.25f)) +
                               0.45f * std::exp(-d / sky.glowSize));
      float hazeAmount = 0.35f * std::exp(-std::fabs(y - horizon) / (0.06f * h));
      Color col = Mix(base, sky.haze, hazeAmount);
      col = Add(col, Scale(sky.light, glow));
      c.At(x, y) = {col.r, col.g, col.b, 1.0f};
    }
  }
  if (sky.stars > 0) Stars(c, sky);
  if (sky.aurora) Aurora(c, sky);
  if (sky.disc != 0) Disc(c, sky);
  if (sky.clouds > 0.0f) Clouds(c, sky);
}

}  // namespace artgen
