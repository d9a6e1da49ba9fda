// What a run takes from the world besides its settings: the monotonic millisecond clock of every
// timer and the waits on it, the local date and time that the clocks and the calendar show, the
// random draws of the snow and the wind, and the system's answers about the display, the battery
// and sleeping. A run is handed one context and passes it to every step that needs it. Left
// empty, each source asks the system; tests and tools replace what they drive (a fake clock and
// its waits, a set date, a fixed seed, a recorded suspend), so that minutes of a run pass in
// milliseconds.
#pragma once

#include <cstdint>
#include <functional>

namespace scene {

// PCG32 with an unbiased draw into a range: small, fast and good enough for snow. Unless seeded
// before, it seeds itself from the clocks at the first draw, so that every run differs.
class RandomGenerator {
 public:
  void Seed(uint64_t seed);
  // R(a..b): a uniform integer from a to b, both included (a when b < a).
  int32_t Draw(int32_t a, int32_t b);

 private:
  uint32_t Next();

  uint64_t state_ = 0;
  bool seeded_ = false;
};

struct RunContext {
  std::function<int64_t()> clock;      // milliseconds, monotonic
  std::function<void(int64_t)> sleep;  // waits so many milliseconds of the clock
  std::function<int64_t()> localTime;  // a date value (see local_time.h)
  std::function<bool()> displayOn;     // false while the display sleeps: nobody sees the run
  std::function<bool()> onBattery;
  std::function<bool()> suspendAllowed;
  std::function<void()> suspend;
  RandomGenerator random;

  int64_t NowMs() const;
  void SleepMs(int64_t ms) const;
  int64_t LocalNow() const;
  bool DisplayOn() const;
  bool OnBattery() const;
  bool SuspendAllowed() const;
  void Suspend() const;
};

}  // namespace scene
