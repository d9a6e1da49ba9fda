// The land: mountains, forest layers with their snow and mist, the frozen lake, the near snow
// field, cast shadows, light shafts.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "scene_parts.h"

namespace artgen {

namespace {

float LightSide(const SkyDef& sky) {
  return sky.lightX >= 0.5f ? 1.0f : -1.0f;
}

float Luma(Color c) {
  return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

}  // namespace

void PaintMountains(Canvas& c, const MountainDef& m, const SkyDef& sky, const Palette& p) {
  const int w = c.Width(), h = c.Height();
  const float side = LightSide(sky);
  const float foot = m.base * h;
  auto profile = [&](float x) {
    float u = x / h / m.scale;
    float broad = 0.5f + 0.5f * Fbm1(u * 0.55f, m.seed + 3, 2);
    return m.height * h *
           (0.25f * broad + 0.85f * Ridged1(u * 1.3f, m.seed, 7) * (0.35f + 0.65f * broad));
  };
  // Finer spurs that run down the faces from the peaks.
  auto spurs = [&](float x) { return Ridged1(x / h / m.scale * 4.0f, m.seed + 9, 4); };
  Color rock = Mix(p.trunk, p.snowShade, 0.35f);
  for (int x = 0; x < w; ++x) {
    float fx = static_cast<float>(x);
    float ridge = foot - profile(fx);
    float slope = (profile(fx + 1.0f) - profile(fx - 1.0f)) * 0.5f;
    int yEnd = std::min(h, static_cast<int>(foot + 0.12f * h));
    for (int y = std::max(0, static_cast<int>(ridge)); y < yEnd; ++y) {
      float cov = Clamp01(y + 1.0f - ridge);
      float depth = (y - ridge) / (m.height * h);  // 0 at the ridge, about 1 at the foot
      float warp = 0.25f * m.height * h * depth * Noise(fx / h * 6.0f, y / (h * 0.1f), m.seed + 5);
      float spur = (spurs(fx + warp + 1.0f) - spurs(fx + warp - 1.0f)) * h * 0.02f;
      float orient = Mix({slope, 0, 0, 0}, {spur, 0, 0, 0}, Clamp01(depth * 1.4f)).r;
      float lit = Clamp01(0.5f - 2.2f * orient * side);
      lit = SmoothStep(0.0f, 1.0f, lit);
      Color col = Mix(p.snowShade, p.snowLit, lit);
      // Dark rock where the faces are steep, in streaks that run down the slope.
      float streak = Noise(fx / h * 40.0f, y / h * 6.0f, m.seed + 11);
      float rockAmount = SmoothStep(0.55f, 1.1f, std::fabs(orient) * 1.8f + 0.5f * streak) *
                         SmoothStep(0.05f, 0.3f, depth);
      col = Mix(col, Mix(rock, p.snowShade, 0.3f * lit), rockAmount * 0.8f);
      // Haze gathers in the valleys.
      float fog = m.fog + (1.0f - m.fog) * 0.6f * SmoothStep(0.2f, 1.2f, depth);
      col = Mix(col, sky.haze, Clamp01(fog));
      c.Blend(x, y, col, cov);
    }
  }
}

float GroundLine(const LayerDef& layer, float x, int height) {
  return layer.base * height + layer.hills * height * Fbm1(x / height * 2.2f, layer.seed + 77, 3);
}

void PaintTree(Canvas& c, const TreeDef& t, const SkyDef& sky, const Palette& p) {
  const int h = c.Height();
  const float side = LightSide(sky);
  const float top = t.base - t.height;
  const float crownBottom = t.base - t.height * std::max(t.bare, 0.05f);
  const float crown = crownBottom - top;
  const float halfWidth = t.width * 0.5f;
  const int tiers = std::clamp(static_cast<int>(t.height / 45.0f) + 5, 5, 13);
  const float trunkHalf = std::max(0.7f, halfWidth * 0.07f);
  const float detail = 1.0f / std::max(crown / tiers, 1.0f);  // tier height in pixels, inverted
  int x0 = static_cast<int>(t.x - halfWidth * 1.25f) - 1,
      x1 = static_cast<int>(t.x + halfWidth * 1.25f) + 2;
  int y0 = static_cast<int>(top) - 1, y1 = static_cast<int>(t.base) + 1;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, c.Width());
  y0 = std::max(y0, 0);
  y1 = std::min(y1, h);
  Color bark = Mix(p.trunk, sky.haze, t.fog);
  for (int y = y0; y < y1; ++y) {
    float fy = y + 0.5f;
    for (int x = x0; x < x1; ++x) {
      float dx = x + 0.5f - t.x, adx = std::fabs(dx);
      // Accumulated colour of this tree at the pixel (premultiplied), painted bottom tier first.
      float r = 0, g = 0, b = 0, a = 0;
      auto over = [&](Color col, float cov) {
        float k = 1.0f - cov;
        r = col.r * cov + r * k;
        g = col.g * cov + g * k;
        b = col.b * cov + b * k;
        a = cov + a * k;
      };
      if (fy > top + crown * 0.2f) {
        float tw = trunkHalf * (0.7f + 0.5f * (fy - top) / t.height);
        float cov = Clamp01(tw - adx + 0.5f) * Clamp01(t.base - fy + 0.5f);
        if (cov > 0.0f)
          over(Mix(Scale(bark, 0.8f), Mix(bark, p.snowLit, 0.15f), Clamp01(0.5f + dx * side / tw)),
               cov);
      }
      for (int k = tiers - 1; k >= 0; --k) {
        float tierTop = top + crown * 0.93f * static_cast<float>(k) / tiers;
        float tierBot = top + crown * std::min(1.0f, (k + 1.8f) / tiers);
        float tierH = tierBot - tierTop;
        float s = (fy - tierTop) / tierH;
        if (s < 0.0f || s > 1.0f) continue;
        float envelope = halfWidth * (0.16f + 0.84f * std::pow((k + 1.0f) / tiers, 0.9f));
        float jag = 1.0f + 0.16f * Noise1(s * 5.0f + k * 7.3f, t.seed) +
                    0.10f * Noise1(s * 13.0f + k * 3.1f, t.seed + 1);
        float hw = envelope * std::pow(s, 0.75f) * jag;
        float q = std::min(adx / envelope, 1.0f);
        float droop = tierBot - tierH * 0.38f * (1.0f - q * q);
        float cov = Clamp01(hw - adx + 0.5f) * Clamp01(droop - fy + 0.5f);
        if (cov <= 0.0f) continue;
        // Where the branch surface above this pixel lies, and how deep below it the pixel is.
        float surface =
            tierTop + tierH * std::pow(std::min(adx / (envelope * jag), 1.0f), 1.0f / 0.75f);
        float below = (fy - surface) / tierH;
        float clump = Noise(x * detail * 0.9f, fy * detail * 1.6f, t.seed + 3);
        float depth = t.snow * (0.20f + 0.16f * clump);
        float snowy = SmoothStep(depth + 0.05f, depth - 0.03f, below);
        float lit = Clamp01(0.5f + 0.7f * dx * side / envelope);
        Color needles = Mix(p.foliage, p.foliageLit, lit * 0.8f);
        needles = Scale(needles, 1.0f - 0.35f * SmoothStep(droop - tierH * 0.3f, droop, fy));
        Color snow = Mix(p.snowShade, p.snowLit, Clamp01(0.25f + 0.9f * lit - 0.4f * below));
        over(Mix(needles, snow, snowy), cov);
      }
      if (a <= 0.0f) continue;
      Color col = {r / a, g / a, b / a, 1.0f};
      c.Blend(x, y, Mix(col, sky.haze, t.fog), a);
    }
  }
}

void PaintLayer(Canvas& c, const LayerDef& layer, const SkyDef& sky, const Palette& p) {
  const int w = c.Width(), h = c.Height();
  // Snow ground under the trees.
  for (int x = 0; x < (layer.ground ? w : 0); ++x) {
    float g = GroundLine(layer, static_cast<float>(x), h);
    float end = layer.bank > 0.0f ? g + layer.bank * h : static_cast<float>(h);
    for (int y = std::max(0, static_cast<int>(g)); y < std::min(h, static_cast<int>(end) + 1);
         ++y) {
      float cov = Clamp01(y + 1.0f - g) * Clamp01(end - y);
      float swell = Fbm(x / (h * 0.12f), y / (h * 0.03f), layer.seed + 13, 3);
      Color col = Mix(p.snowShade, p.snowLit, Clamp01(0.55f + 0.35f * swell));
      c.Blend(x, y, Mix(col, sky.haze, layer.fog), cov);
    }
  }
  // Trees, spaced at random along the layer.
  Rng rng(layer.seed);
  float treeH = layer.treeHeight * h;
  float x = -treeH * 0.4f * rng.Uniform();
  while (x < w + treeH * 0.4f) {
    TreeDef t;
    t.height = treeH * rng.Range(0.7f, 1.3f);
    t.width = t.height * rng.Range(0.36f, 0.48f) * (layer.bare > 0.3f ? 0.8f : 1.0f);
    t.x = x;
    t.base = GroundLine(layer, x, h) + t.height * 0.03f;
    t.bare = layer.bare * rng.Range(0.8f, 1.2f);
    t.snow = layer.snow * rng.Range(0.8f, 1.2f);
    t.fog = layer.fog;
    t.seed = rng.Next();
    float at = x / w;
    if (!(at > layer.gapFrom && at < layer.gapTo)) PaintTree(c, t, sky, p);
    x += treeH * 0.42f * layer.spacing * rng.Range(0.35f, 1.65f);
  }
  if (layer.mist <= 0.0f) return;
  // Mist that rises from the layer's foot, so each row of trees fades downwards.
  float mistH = treeH * 0.7f;
  for (int xx = 0; xx < w; ++xx) {
    float g = GroundLine(layer, static_cast<float>(xx), h);
    int y0 = std::max(0, static_cast<int>(g - mistH * 2.5f));
    int y1 = std::min(h, static_cast<int>(g + mistH * 0.6f));
    for (int y = y0; y < y1; ++y) {
      float rise = std::exp(-std::max(0.0f, g - y) / mistH);
      float wisp = 0.7f + 0.3f * Fbm(xx / (h * 0.25f), y / (h * 0.05f), layer.seed + 21, 3);
      c.Blend(xx, y, sky.haze, Clamp01(layer.mist * rise * wisp));
    }
  }
}

void PaintLake(Canvas& c, const LayerDef& shore, const SkyDef& sky, const Palette& p) {
  const int w = c.Width(), h = c.Height();
  Color ice = Mix(p.snowShade, sky.haze, 0.4f);
  for (int x = 0; x < w; ++x) {
    float water = GroundLine(shore, static_cast<float>(x), h) + shore.bank * h;
    for (int y = static_cast<int>(water); y < h; ++y) {
      float dist = (y - water) / (h - water);  // 0 at the far shore, 1 at the bottom edge
      float wob = 0.004f * h * Noise(x / (h * 0.2f), y / (h * 0.01f), sky.seed + 91) * dist;
      float src = 2.0f * water - y;
      // A blurred mirror: blur and darken more the nearer the ice.
      float spread = 1.0f + 6.0f * dist;
      Color refl = {0, 0, 0, 1};
      for (int i = -2; i <= 2; ++i) {
        Color s = c.Sample(x + 0.5f + wob + i * spread * 0.4f, src - std::fabs(i) * spread * 0.3f);
        refl = Add(refl, Scale(s, 0.2f));
      }
      float reflectivity = 0.78f - 0.35f * dist;
      Color col = Mix(ice, Scale(refl, 0.92f), reflectivity);
      // Wind-blown snow on the ice in long drifts, and fine pale cracks.
      float drift = Fbm(x / (h * 0.5f), y / (h * 0.035f), sky.seed + 93, 5);
      float cover = SmoothStep(0.05f, 0.45f, drift + 0.35f * dist - 0.15f);
      float crack = 1.0f - std::fabs(Noise(x / (h * 0.09f), y / (h * 0.02f), sky.seed + 95));
      col = Mix(col, Mix(ice, p.snowLit, 0.5f), 0.35f * SmoothStep(0.975f, 0.995f, crack));
      Color snow = Mix(p.snowShade, p.snowLit, Clamp01(0.4f + 0.6f * drift));
      col = Mix(col, snow, cover * 0.85f);
      float cov = Clamp01(y + 1.0f - water);
      c.Blend(x, y, col, cov);
    }
  }
}

void PaintSnowField(Canvas& c, float top, const SkyDef& sky, const Palette& p, uint32_t seed) {
  const int w = c.Width(), h = c.Height();
  const float side = LightSide(sky), horizon = sky.horizon * h;
  const float lx = sky.lightX * w;
  auto height = [&](float x, float y) {
    float persp = std::max((y - horizon) / h, 0.02f);
    float u = (x - w * 0.5f) / h / persp, v = 1.0f / persp;
    return Fbm(u * 0.35f, v * 0.6f, seed, 5) * persp * 4.0f;
  };
  int y0 = static_cast<int>(top * h);
  for (int y = std::max(0, y0); y < h; ++y) {
    float fade = SmoothStep(static_cast<float>(y0), y0 + 0.04f * h, static_cast<float>(y));
    for (int x = 0; x < w; ++x) {
      float hx = height(x + 1.5f, y) - height(x - 1.5f, y);
      float hy = height(x, y + 1.5f) - height(x, y - 1.5f);
      float lit = Clamp01(0.55f + 9.0f * hx * side - 6.0f * hy);
      Color col = Mix(p.snowShade, p.snowLit, SmoothStep(0.0f, 1.0f, lit));
      // A sheen on the snow towards the light.
      float sheen = std::exp(-std::fabs(x - lx) / (0.35f * w)) * 0.12f;
      col = Add(col, Scale(sky.light, sheen * lit));
      c.Blend(x, y, col, fade);
    }
  }
  // Glints: single crystals catching the light.
  Rng rng(seed + 5);
  int glints = w * h / 4000;
  for (int i = 0; i < glints; ++i) {
    int x = static_cast<int>(rng.Range(0.0f, static_cast<float>(w)));
    int y = static_cast<int>(rng.Range(static_cast<float>(y0), static_cast<float>(h)));
    float b = std::pow(rng.Uniform(), 3.0f) *
              SmoothStep(static_cast<float>(y0), static_cast<float>(h), y + 0.0f);
    Color glint = Mix(sky.light, Rgb(0xFFFFFF), 0.6f);
    c.AddLight(x, y, glint, b * 0.8f);
    for (int d = -1; d <= 1; d += 2) {
      c.AddLight(x + d, y, glint, b * 0.25f);
      c.AddLight(x, y + d, glint, b * 0.25f);
    }
  }
}

void PaintCastShadows(Canvas& c, float top, const SkyDef& sky, const Palette& p, uint32_t seed) {
  const int w = c.Width(), h = c.Height();
  const float vx = sky.lightX * w, vy = sky.horizon * h - 0.02f * h;
  int y0 = static_cast<int>(top * h);
  for (int y = std::max(0, y0); y < h; ++y) {
    float near = (y - y0) / static_cast<float>(h - y0);
    for (int x = 0; x < w; ++x) {
      // Lines through the point under the light: each trunk's shadow fans out along one.
      float a = (x - vx) / (y - vy);
      float n = Noise1(a * 9.0f, seed) + 0.35f * Noise1(a * 23.0f, seed + 1);
      float shadow = SmoothStep(0.18f - 0.1f * near, 0.34f + 0.05f * near, n);
      float start = SmoothStep(0.0f, 0.08f, near + 0.02f * Noise1(a * 40.0f, seed + 2));
      float amount = 0.55f * shadow * start;
      if (amount <= 0.0f) continue;
      Color col = c.Get(x, y);
      Color shade = Mul(col, Mix(Rgb(0xFFFFFF), Mul(p.snowShade, Rgb(0xC8D4F0)), 0.9f));
      c.Blend(x, y, shade, amount);
    }
  }
}

void PaintRays(Canvas& c, const SkyDef& sky, float strength) {
  const int w = c.Width() / 2, h = c.Height() / 2;
  std::vector<float> bright(static_cast<size_t>(w) * h), rays(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bright[static_cast<size_t>(y) * w + x] =
          std::max(0.0f, Luma(c.Get(2 * x, 2 * y)) - 0.62f) * 2.5f;
  const float lx = sky.lightX * w, ly = sky.lightY * h;
  const int steps = 56;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float sum = 0.0f, weight = 1.0f;
      for (int i = 0; i < steps; ++i) {
        float t = static_cast<float>(i) / steps * 0.95f;
        int sx = static_cast<int>(x + (lx - x) * t), sy = static_cast<int>(y + (ly - y) * t);
        if (sx >= 0 && sy >= 0 && sx < w && sy < h)
          sum += bright[static_cast<size_t>(sy) * w + sx] * weight;
        weight *= 0.975f;
      }
      rays[static_cast<size_t>(y) * w + x] = sum / steps;
    }
  }
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      float fx = std::min(x * 0.5f, w - 1.001f), fy = std::min(y * 0.5f, h - 1.001f);
      int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
      float ax = fx - ix, ay = fy - iy;
      auto at = [&](int i, int j) {
        return rays[static_cast<size_t>(std::min(j, h - 1)) * w + std::min(i, w - 1)];
      };
      float v = (at(ix, iy) * (1 - ax) + at(ix + 1, iy) * ax) * (1 - ay) +
                (at(ix, iy + 1) * (1 - ax) + at(ix + 1, iy + 1) * ax) * ay;
      c.AddLight(x, y, sky.light, v * strength);
    }
  }
}

void Vignette(Canvas& c, float amount) {
  const float cx = c.Width() * 0.5f, cy = c.Height() * 0.5f;
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      float dx = (x - cx) / cx, dy = (y - cy) / cy;
      float k = 1.0f - amount * SmoothStep(0.3f, 1.6f, dx * dx * 0.6f + dy * dy * 0.8f);
      Color& p = c.At(x, y);
      p = {p.r * k, p.g * k, p.b * k, p.a};
    }
  }
}

}  // namespace artgen
