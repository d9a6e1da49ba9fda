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
  // A height field seen from a low viewpoint, drawn column by column front to back: each step
  // further away only paints what rises above everything nearer (a y-buffer).
  const int w = c.Width(), h = c.Height();
  const float side = LightSide(sky);
  const float horizon = m.base * h, focal = static_cast<float>(h);
  const float zNear = 3.0f, zFar = 30.0f, camera = 0.12f;
  const float peak = m.height * 6.0f;  // world height that stands m.height tall at distance 6
  const float freq = 0.38f / m.scale;
  // Broad swell of the range (slow: taken once per step), times sharp ridged detail.
  auto range = [&](float x, float z) {
    return 0.55f + 0.45f * Fbm(x * freq * 0.25f, z * freq * 0.25f, m.seed + 1, 2);
  };
  auto height = [&](float x, float z, int octaves, float swell) {
    float u = x * freq, v = z * freq;
    float sum = 0.0f, amp = 0.5f, weight = 1.0f;
    for (int o = 0; o < octaves; ++o) {  // ridged multifractal: sharp crests, smoother valleys
      float r = 1.0f - std::fabs(Noise(u, v, m.seed + 13u * o));
      r = r * r * weight;
      weight = Clamp01(r * 2.0f);
      sum += amp * r;
      amp *= 0.5f;
      u = u * 2.07f + 3.1f;
      v = v * 2.07f + 7.7f;
    }
    float rise = SmoothStep(zNear, zNear + 2.5f, z);
    return peak * swell * rise * sum;
  };
  // Light from the side of the sun, a little from in front of the range.
  float lx = side * 0.75f, ly = 0.5f, lz = -0.45f;
  float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
  lx /= ll, ly /= ll, lz /= ll;
  Color rock = Mix(p.trunk, p.snowShade, 0.4f);
  for (int x = 0; x < w; ++x) {
    float ray = (x + 0.5f - w * 0.5f) / focal;
    float lowest = std::min(static_cast<float>(h), horizon + 0.15f * h);  // nothing drawn below
    for (float z = zNear; z < zFar; z += z * 0.0025f) {
      // Beyond here even the highest peak would hide behind what is drawn: done.
      if (horizon - (peak - camera) * focal / z >= lowest) break;
      float wx = ray * z;
      float swell = range(wx, z);
      float ht = height(wx, z, 7, swell);
      float y = horizon - (ht - camera) * focal / z;
      if (y >= lowest) continue;
      float e = 0.02f * z;
      float dx = (height(wx + e, z, 5, swell) - height(wx - e, z, 5, swell)) / (2.0f * e);
      float dz = (height(wx, z + e, 5, swell) - height(wx, z - e, 5, swell)) / (2.0f * e);
      float nl = 1.0f / std::sqrt(dx * dx + 1.0f + dz * dz);
      float nx = -dx * nl, ny = nl, nz = -dz * nl;
      float lambert = std::max(0.0f, nx * lx + ny * ly + nz * lz);
      // Snow clings where the slope is gentle; steep faces show dark rock.
      float snow = SmoothStep(0.32f, 0.6f, ny + 0.12f * Noise(wx * 6.0f, z * 6.0f, m.seed + 5));
      Color ground = Mix(rock, p.snowLit, snow);
      Color shade = Mix(Mul(rock, p.snowShade), p.snowShade, snow);
      Color col = Mix(shade, ground, SmoothStep(0.05f, 0.85f, lambert));
      float fog = m.fog + (1.0f - m.fog) * (1.0f - std::exp(-(z - zNear) * 0.06f));
      fog += (1.0f - fog) * 0.45f * (1.0f - SmoothStep(0.0f, peak * 0.35f, ht));  // valley haze
      col = Mix(col, sky.haze, Clamp01(fog));
      int top = static_cast<int>(std::floor(y)), bottom = static_cast<int>(std::ceil(lowest));
      for (int yy = std::max(top, 0); yy < std::min(bottom, h); ++yy) {
        float cov = yy == top ? 1.0f - (y - top) : 1.0f;
        c.Blend(x, yy, col, cov);
      }
      lowest = y;
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
  const float crownBottom = t.base - t.height * t.bare;
  const float crown = crownBottom - top;
  const float halfWidth = t.width * 0.5f;
  const int tiers = std::clamp(static_cast<int>(t.height / 38.0f) + 6, 6, 18);
  const float trunkHalf = std::max(0.7f, halfWidth * 0.06f);
  const float tierPx = crown / tiers;
  const float detail = 1.0f / std::max(tierPx, 1.0f);
  int x0 = std::max(static_cast<int>(t.x - halfWidth * 1.35f) - 1, 0);
  int x1 = std::min(static_cast<int>(t.x + halfWidth * 1.35f) + 2, c.Width());
  int y0 = std::max(static_cast<int>(top) - 1, 0), y1 = std::min(static_cast<int>(t.base) + 1, h);
  if (x1 <= x0 || y1 <= y0) return;
  Color bark = p.trunk;
  Rng rng(t.seed);
  // Each whorl of branches has its own reach, droop and load of snow.
  struct Tier {
    float top, bottom, reach[2], droop, snow, noise;
  };
  std::vector<Tier> whorls(static_cast<size_t>(tiers));
  for (int k = 0; k < tiers; ++k) {
    Tier& w = whorls[static_cast<size_t>(k)];
    float at = (k + 0.5f) / tiers;
    w.top = top + crown * 0.94f * std::pow(static_cast<float>(k) / tiers, 1.08f);
    w.bottom = top + crown * std::min(1.0f, std::pow((k + 1.9f) / tiers, 1.0f));
    // A narrow spire at the top, fullest low down, a little concave in between.
    float envelope = halfWidth * (0.10f + 0.90f * std::pow(at, 0.85f));
    w.reach[0] = envelope * rng.Range(0.8f, 1.12f);
    w.reach[1] = envelope * rng.Range(0.8f, 1.12f);
    w.droop = rng.Range(0.25f, 0.5f);
    w.snow = t.snow * rng.Range(0.5f, 1.25f);
    w.noise = rng.Range(0.0f, 100.0f);
  }
  std::vector<float> acc(static_cast<size_t>(x1 - x0) * 4);
  for (int y = y0; y < y1; ++y) {
    float fy = y + 0.5f;
    std::fill(acc.begin(), acc.end(), 0.0f);
    auto over = [&](int x, Color col, float cov) {
      float* a = &acc[static_cast<size_t>(x - x0) * 4];
      float k = 1.0f - cov;
      a[0] = col.r * cov + a[0] * k;
      a[1] = col.g * cov + a[1] * k;
      a[2] = col.b * cov + a[2] * k;
      a[3] = cov + a[3] * k;
    };
    if (fy > top + crown * 0.3f) {
      float tw = trunkHalf * (0.6f + 0.6f * (fy - top) / t.height);
      for (int x = x0; x < x1; ++x) {
        float dx = x + 0.5f - t.x;
        float cov = Clamp01(tw - std::fabs(dx) + 0.5f) * Clamp01(t.base - fy + 0.5f);
        if (cov > 0.0f)
          over(x,
               Mix(Scale(bark, 0.75f), Mix(bark, p.snowLit, 0.2f), Clamp01(0.5f + dx * side / tw)),
               cov);
      }
    }
    // Only the few whorls that reach this row, lowest first so the upper ones lie on top.
    for (int k = tiers - 1; k >= 0; --k) {
      const Tier& w = whorls[static_cast<size_t>(k)];
      if (fy < w.top || fy > w.bottom) continue;
      float tierH = w.bottom - w.top;
      float s = (fy - w.top) / tierH;
      float hw[2];
      for (int sd = 0; sd < 2; ++sd) {
        // Ragged edges: branch tips and the twigs between them.
        float jag = 1.0f + 0.22f * Noise1(s * 4.0f + w.noise + sd * 31.0f, t.seed) +
                    0.12f * Noise1(s * 11.0f + w.noise + sd * 17.0f, t.seed + 1);
        hw[sd] = w.reach[sd] * std::pow(s, 0.7f) * jag;
      }
      for (int x = x0; x < x1; ++x) {
        float dx = x + 0.5f - t.x, adx = std::fabs(dx);
        int sd = dx < 0.0f ? 0 : 1;
        float reach = w.reach[sd];
        float q = std::min(adx / reach, 1.0f);
        // Branches droop: the tier's lower edge is lowest at the tips, ragged along its length.
        float lower = w.bottom - tierH * w.droop * (1.0f - q * q) +
                      tierH * 0.12f * Noise1(adx * detail * 1.5f + w.noise, t.seed + 2);
        float cov = Clamp01(hw[sd] - adx + 0.5f) * Clamp01(lower - fy + 0.5f);
        if (cov <= 0.0f) continue;
        // Depth below the branch surface above this pixel decides snow or needles.
        float surface = w.top + tierH * std::pow(q, 1.0f / 0.7f);
        float below = (fy - surface) / tierH;
        float clump = Noise(x * detail * 1.3f, fy * detail * 2.2f, t.seed + 3);
        float fine = Noise(x * detail * 4.0f, fy * detail * 5.0f, t.seed + 4);
        float load = w.snow * (0.17f + 0.13f * clump + 0.05f * fine);
        float snowy = SmoothStep(load + 0.04f, load - 0.03f, below);
        float lit = Clamp01(0.5f + 0.7f * dx * side / reach);
        Color needles = Mix(p.foliage, p.foliageLit, lit * (0.6f + 0.4f * fine));
        // Needles deep under the snow and near the lower edge lie in the whorl's own shadow.
        needles = Scale(needles, (0.75f + 0.25f * clump) *
                                     (1.0f - 0.35f * SmoothStep(lower - tierH * 0.35f, lower, fy)));
        Color snow =
            Mix(p.snowShade, p.snowLit, Clamp01(0.2f + 0.9f * lit - 0.6f * below + 0.15f * fine));
        over(x, Mix(needles, snow, snowy), cov);
      }
    }
    for (int x = x0; x < x1; ++x) {
      const float* a = &acc[static_cast<size_t>(x - x0) * 4];
      if (a[3] <= 0.0f) continue;
      Color col = {a[0] / a[3], a[1] / a[3], a[2] / a[3], 1.0f};
      c.Blend(x, y, Mix(col, sky.haze, t.fog), a[3]);
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
      float swell = Fbm(x / (h * 0.12f), y / (h * 0.03f), layer.seed + 13, 2);
      Color col = Mix(p.snowShade, p.snowLit, Clamp01(0.55f + 0.35f * swell));
      c.Blend(x, y, Mix(col, sky.haze, layer.fog), cov);
    }
  }
  // Trees, spaced at random along the layer and spread a little in depth; farther ones first.
  Rng rng(layer.seed);
  float treeH = layer.treeHeight * h;
  std::vector<TreeDef> trees;
  float x = -treeH * 0.4f * rng.Uniform();
  while (x < w + treeH * 0.4f) {
    TreeDef t;
    t.height = treeH * rng.Range(0.6f, 1.35f);
    t.width = t.height * rng.Range(0.30f, 0.42f) * (layer.bare > 0.3f ? 0.85f : 1.0f);
    t.x = x;
    t.base = GroundLine(layer, x, h) + t.height * 0.02f + layer.depth * treeH * rng.Uniform();
    t.bare = layer.bare * rng.Range(0.8f, 1.2f);
    t.snow = layer.snow * rng.Range(0.8f, 1.2f);
    t.fog = layer.fog;
    t.seed = rng.Next();
    float at = x / w;
    if (!(at > layer.gapFrom && at < layer.gapTo)) trees.push_back(t);
    x += treeH * 0.36f * layer.spacing * rng.Range(0.3f, 1.7f);
  }
  std::stable_sort(trees.begin(), trees.end(),
                   [](const TreeDef& a, const TreeDef& b) { return a.base < b.base; });
  for (const TreeDef& t : trees) PaintTree(c, t, sky, p);
  if (layer.mist <= 0.0f) return;
  // Mist that rises from the layer's foot, so each row of trees fades downwards.
  float mistH = treeH * 0.7f;
  for (int xx = 0; xx < w; ++xx) {
    float g = GroundLine(layer, static_cast<float>(xx), h);
    int y0 = std::max(0, static_cast<int>(g - mistH * 2.5f));
    int y1 = std::min(h, static_cast<int>(g + mistH * 0.6f));
    for (int y = y0; y < y1; ++y) {
      float rise = std::exp(-std::max(0.0f, g - y) / mistH);
      float wisp = 0.7f + 0.3f * Fbm(xx / (h * 0.25f), y / (h * 0.05f), layer.seed + 21, 2);
      c.Blend(xx, y, sky.haze, Clamp01(layer.mist * rise * wisp));
    }
  }
}

void PaintLake(Canvas& c, const LayerDef& shore, const SkyDef& sky, const Palette& p, float snow) {
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
      float drift = Fbm(x / (h * 0.5f), y / (h * 0.035f), sky.seed + 93, 4);
      float cover = SmoothStep(0.05f, 0.45f, drift + 0.35f * dist - 0.15f);
      float crack = 1.0f - std::fabs(Noise(x / (h * 0.09f), y / (h * 0.02f), sky.seed + 95));
      col = Mix(col, Mix(ice, p.snowLit, 0.5f), 0.35f * SmoothStep(0.975f, 0.995f, crack));
      Color drifted = Mix(p.snowShade, p.snowLit, Clamp01(0.4f + 0.6f * drift));
      col = Mix(col, drifted, cover * 0.85f * snow);
      float cov = Clamp01(y + 1.0f - water);
      c.Blend(x, y, col, cov);
    }
  }
}

void PaintSnowField(Canvas& c, float top, const SkyDef& sky, const Palette& p, uint32_t seed) {
  const int w = c.Width(), h = c.Height();
  const float side = LightSide(sky), horizon = sky.horizon * h;
  const float lx = sky.lightX * w;
  int y0 = std::max(0, static_cast<int>(top * h));
  // Drifts as a height field laid out in perspective, sampled once per pixel.
  std::vector<float> field(static_cast<size_t>(w + 1) * (h - y0 + 1));
  for (int y = y0; y <= h; ++y) {
    float persp = std::max((y - horizon) / h, 0.02f);
    for (int x = 0; x <= w; ++x) {
      float u = (x - w * 0.5f) / h / persp, v = 1.0f / persp;
      field[static_cast<size_t>(y - y0) * (w + 1) + x] =
          Fbm(u * 0.35f, v * 0.22f, seed, 3) * persp * 3.0f;
    }
  }
  auto at = [&](int x, int y) { return field[static_cast<size_t>(y - y0) * (w + 1) + x]; };
  for (int y = y0; y < h; ++y) {
    float fade = SmoothStep(static_cast<float>(y0), y0 + 0.04f * h, static_cast<float>(y));
    for (int x = 0; x < w; ++x) {
      float hx = at(x + 1, y) - at(x, y), hy = at(x, y + 1) - at(x, y);
      float lit = Clamp01(0.62f + 14.0f * hx * side - 7.0f * hy);
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
  const int y0 = std::max(0, static_cast<int>(top * h));
  // Each unseen trunk throws one shadow along a line through the point under the light;
  // it starts where the trunk stands and widens and softens as it comes nearer.
  struct Shadow {
    float a, width, start, strength;
  };
  Rng rng(seed);
  std::vector<Shadow> shadows;
  for (int i = 0; i < 11; ++i)
    shadows.push_back({rng.Range(-2.4f, 2.4f), rng.Range(0.025f, 0.07f), rng.Range(0.0f, 0.4f),
                       rng.Range(0.3f, 0.55f)});
  Color tint = Mul(p.snowShade, Rgb(0xC8D4F0));
  for (int y = y0; y < h; ++y) {
    float near = (y - y0) / static_cast<float>(h - y0);
    for (int x = 0; x < w; ++x) {
      float a = (x - vx) / (y - vy);
      float amount = 0.0f;
      for (const Shadow& s : shadows) {
        float d = std::fabs(a - s.a);
        float soft = s.width * (0.6f + 1.5f * near);
        if (d > soft * 1.6f || near < s.start) continue;
        // Branches break the shadow up along its length.
        float broken = 0.75f + 0.25f * Noise1(near * 14.0f + s.a * 50.0f, seed + 1);
        float v =
            SmoothStep(soft * 1.6f, soft * 0.4f, d) * SmoothStep(s.start, s.start + 0.05f, near);
        amount = std::max(amount, v * s.strength * broken);
      }
      if (amount <= 0.0f) continue;
      c.Blend(x, y, Mul(c.Get(x, y), tint), amount);
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
