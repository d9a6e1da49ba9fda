// The run's one monotonic millisecond clock and its one random generator. Both are replaceable,
// so that tests can drive timers and random draws.
#pragma once

#include <cstdint>
#include <functional>

namespace scene {

// Milliseconds from the monotonic clock (the platform's unless replaced).
int64_t NowMs();
// Replaces the clock; an empty function restores the platform's. Returns the previous one.
using ClockSource = std::function<int64_t()>;
ClockSource SetClock(ClockSource clock);

// R(a..b): a uniform integer from a to b, both included (a when b < a). The generator seeds
// itself from the clock at first use, so that every run differs.
int32_t Random(int32_t a, int32_t b);
// Seeds the generator (tests, for repeatable draws).
void SeedRandom(uint64_t seed);

}  // namespace scene
