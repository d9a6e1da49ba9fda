// Deterministic randomness for painting: a seeded generator and smooth gradient noise.
// Nothing here depends on the standard library's distributions, so every platform paints the
// same pictures from the same seeds.
#pragma once

#include <cstdint>

namespace artgen {

// Mixes integer coordinates and a seed into 32 well-spread bits. Inline: noise calls it a lot.
inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^
               static_cast<uint32_t>(y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 13;
  return h;
}

// A small, fast generator (SplitMix64) with a fixed sequence per seed.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint32_t Next();
  float Uniform();  // [0, 1)
  float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
  int Int(int lo, int hi) { return lo + static_cast<int>(Next() % uint32_t(hi - lo + 1)); }

 private:
  uint64_t state_;
};

// Gradient noise in about [-1, 1], smooth, period-free.
float Noise(float x, float y, uint32_t seed);
float Noise1(float x, uint32_t seed);

// Sums of octaves of the above; about [-1, 1].
float Fbm(float x, float y, uint32_t seed, int octaves, float gain = 0.5f);
float Fbm1(float x, uint32_t seed, int octaves, float gain = 0.5f);

// Sharp-crested noise for mountain ridges: [0, 1], peaks where the noise crosses zero.
float Ridged1(float x, uint32_t seed, int octaves);

}  // namespace artgen
