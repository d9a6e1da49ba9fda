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
  struct Curtain {
    float base, amp, freq, height, shift, strength;
  };
  const Curtain curtains[] = {{0.30f, 0.10f, 1.3f, 0.22f, 0.0f, 1.0f},
                              {0.20f, 0.07f, 1.9f, 0.16f, 7.3f, 0.55f},
                              {0.42f, 0.05f, 2.6f, 0.10f, 3.1f, 0.45f}};
  const Color green = Rgb(0x3DFF9A), teal = Rgb(0x2BD5C8), violet = Rgb(0xB05CFF);
  for (int x = 0; x < w; ++x) {
    float u = static_cast<float>(x) / h;
    for (const Curtain& k : curtains) {
      // The curtain's lower edge folds across the sky; its rays brighten and fade along it.
      float fold = Fbm1(u * k.freq + k.shift, sky.seed + 17, 4);
      float base = (k.base + k.amp * fold) * h;
      float rays = 0.55f + 0.45f * Fbm1(u * 38.0f + fold * 6.0f + k.shift, sky.seed + 29, 3);
      float sweep = 0.5f + 0.5f * Fbm1(u * 0.9f + k.shift * 2.0f, sky.seed + 41, 2);
      float strength = k.strength * rays * rays * SmoothStep(0.05f, 0.6f, sweep);
      int top = std::max(0, static_cast<int>(base - k.height * h * 3.0f));
      int bottom = std::min(static_cast<int>(horizon), static_cast<int>(base + 0.04f * h));
      for (int y = top; y < bottom; ++y) {
        float above = (base - y) / (k.height * h);  // 0 at the lower edge, 1 one curtain up
        float i = above < 0.0f ? std::exp(above * 14.0f) : std::exp(-above * 1.1f);
        i *= SmoothStep(-0.02f, 0.10f, above + 0.1f);
        Color col = above < 0.6f ? Mix(green, teal, Clamp01(above / 0.6f))
                                 : Mix(teal, violet, Clamp01((above - 0.6f) / 1.2f));
        c.AddLight(x, y, col, 0.55f * strength * i);
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
  int y0 = static_cast<int>(sky.cloudTop * h), y1 = static_cast<int>(sky.cloudBottom * h);
  float lx = sky.lightX * w, ly = sky.lightY * h;
  for (int y = std::max(0, y0 - h / 10); y < std::min(h, y1 + h / 10); ++y) {
    float band = SmoothStep(y0 - h * 0.1f, static_cast<float>(y0), static_cast<float>(y)) *
                 SmoothStep(y1 + h * 0.1f, static_cast<float>(y1), static_cast<float>(y));
    for (int x = 0; x < w; ++x) {
      float u = static_cast<float>(x) / h, v = static_cast<float>(y) / h;
      // Long thin banks: stretched across, with a warp so they do not look combed.
      float warp = Fbm(u * 1.2f, v * 3.0f, sky.seed + 61, 3);
      float d = Fbm(u * 1.6f + warp * 0.6f, v * 9.0f, sky.seed + 71, 6);
      float cover = SmoothStep(0.45f - sky.clouds * 0.6f, 0.85f - sky.clouds * 0.5f, d + 0.5f);
      cover *= band * Clamp01(sky.clouds * 1.5f);
      if (cover <= 0.001f) continue;
      // Light from below the cloud when the light is low, plus the glow near the light.
      float below = Fbm(u * 1.6f + warp * 0.6f, v * 9.0f - 0.12f, sky.seed + 71, 6);
      float lit = Clamp01(0.45f + 1.8f * (d - below));
      float near = std::exp(-std::hypot(x - lx, (y - ly) * 1.5f) / (h * 0.45f));
      Color col = Mix(sky.cloudShade, sky.cloudLit, Clamp01(lit * 0.7f + near * 0.8f));
      c.Blend(x, y, col, cover * 0.9f);
    }
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
