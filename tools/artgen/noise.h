// Deterministic randomness for painting: a seeded generator and smooth gradient noise.
// Nothing here depends on the standard library's distributions, so every platform paints the
// same pictures from the same seeds.
#pragma once

#include <cstdint>

namespace artgen {

// Mixes integer coordinates and a seed into 32 well-spread bits.
uint32_t Hash(int32_t x, int32_t y, uint32_t seed);

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
