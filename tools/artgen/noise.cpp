#include "noise.h"

#include <cmath>

namespace artgen {

uint32_t Rng::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::Uniform() {
  return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f);
}

namespace {

float Fade(float t) {
  return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

// One of 16 unit gradients, chosen by the lattice point's hash.
float Grad(int32_t ix, int32_t iy, uint32_t seed, float dx, float dy) {
  static const float kDirs[16][2] = {
      {1.0f, 0.0f},  {0.9239f, 0.3827f},   {0.7071f, 0.7071f},   {0.3827f, 0.9239f},
      {0.0f, 1.0f},  {-0.3827f, 0.9239f},  {-0.7071f, 0.7071f},  {-0.9239f, 0.3827f},
      {-1.0f, 0.0f}, {-0.9239f, -0.3827f}, {-0.7071f, -0.7071f}, {-0.3827f, -0.9239f},
      {0.0f, -1.0f}, {0.3827f, -0.9239f},  {0.7071f, -0.7071f},  {0.9239f, -0.3827f}};
  const float* g = kDirs[Hash(ix, iy, seed) & 15u];
  return g[0] * dx + g[1] * dy;
}

}  // namespace

float Noise(float x, float y, uint32_t seed) {
  float fx = std::floor(x), fy = std::floor(y);
  int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  float dx = x - fx, dy = y - fy;
  float u = Fade(dx), v = Fade(dy);
  float n00 = Grad(ix, iy, seed, dx, dy);
  float n10 = Grad(ix + 1, iy, seed, dx - 1.0f, dy);
  float n01 = Grad(ix, iy + 1, seed, dx, dy - 1.0f);
  float n11 = Grad(ix + 1, iy + 1, seed, dx - 1.0f, dy - 1.0f);
  float a = n00 + (n10 - n00) * u;
  float b = n01 + (n11 - n01) * u;
  return 1.41f * (a + (b - a) * v);
}

float Noise1(float x, uint32_t seed) {
  float fx = std::floor(x);
  int32_t ix = static_cast<int32_t>(fx);
  float d = x - fx;
  auto slope = [&](int32_t i) {
    return static_cast<float>(Hash(i, 0x51ED, seed) & 0xFFFF) / 32767.5f - 1.0f;
  };
  float a = slope(ix) * d, b = slope(ix + 1) * (d - 1.0f);
  return 2.0f * (a + (b - a) * Fade(d));
}

float Fbm(float x, float y, uint32_t seed, int octaves, float gain) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise(x, y, seed + 101u * static_cast<uint32_t>(i));
    norm += amp;
    amp *= gain;
    // Rotate a little between octaves so the lattice never lines up.
    float nx = 1.6f * x + 1.2f * y + 17.3f, ny = -1.2f * x + 1.6f * y + 5.1f;
    x = nx;
    y = ny;
  }
  return sum / norm;
}

float Fbm1(float x, uint32_t seed, int octaves, float gain) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise1(x, seed + 101u * static_cast<uint32_t>(i));
    norm += amp;
    amp *= gain;
    x = 2.03f * x + 11.7f;
  }
  return sum / norm;
}

float Ridged1(float x, uint32_t seed, int octaves) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    float r = 1.0f - std::fabs(Noise1(x, seed + 37u * static_cast<uint32_t>(i)));
    sum += amp * r * r;
    norm += amp;
    amp *= 0.5f;
    x = 2.1f * x + 3.7f;
  }
  return sum / norm;
}

}  // namespace artgen
