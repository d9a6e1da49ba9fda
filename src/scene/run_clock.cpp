#include "scene/run_clock.h"

#include "platform/platform.h"

namespace scene {
namespace {

ClockSource& Clock() {
  static ClockSource clock;
  return clock;
}

// PCG32: small, fast and good enough for snow; draws into a range without modulo bias.
struct Generator {
  uint64_t state = 0;
  bool seeded = false;

  uint32_t Next() {
    const uint64_t old = state;
    state = old * 6364136223846793005ULL + 1442695040888963407ULL;
    const uint32_t shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (shifted >> rot) | (shifted << ((32u - rot) & 31u));
  }
};

Generator& TheGenerator() {
  static Generator generator;
  return generator;
}

}  // namespace

int64_t NowMs() {
  const ClockSource& clock = Clock();
  return clock ? clock() : static_cast<int64_t>(platform::MonotonicMs());
}

ClockSource SetClock(ClockSource clock) {
  ClockSource previous = std::move(Clock());
  Clock() = std::move(clock);
  return previous;
}

void SeedRandom(uint64_t seed) {
  Generator& g = TheGenerator();
  g.state = 0;
  g.Next();
  g.state += seed;
  g.Next();
  g.seeded = true;
}

int32_t Random(int32_t a, int32_t b) {
  if (b <= a) return a;
  Generator& g = TheGenerator();
  if (!g.seeded)
    SeedRandom(platform::MonotonicMs() ^ static_cast<uint64_t>(platform::LocalSecondsSince1970()));
  const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(b) - a) + 1;
  // Lemire's multiply-and-reject draw.
  uint64_t product = static_cast<uint64_t>(g.Next()) * span;
  uint32_t low = static_cast<uint32_t>(product);
  if (low < span) {
    const uint32_t threshold = static_cast<uint32_t>((0x100000000ULL - span) % span);
    while (low < threshold) {
      product = static_cast<uint64_t>(g.Next()) * span;
      low = static_cast<uint32_t>(product);
    }
  }
  return static_cast<int32_t>(static_cast<int64_t>(a) + static_cast<int64_t>(product >> 32));
}

}  // namespace scene
