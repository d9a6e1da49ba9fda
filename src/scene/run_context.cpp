#include "scene/run_context.h"

#include <algorithm>
#include <cstdint>

#include "platform/platform.h"

namespace scene {

uint32_t RandomGenerator::Next() {
  const uint64_t old = state_;
  state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
  const uint32_t shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  const uint32_t rot = static_cast<uint32_t>(old >> 59u);
  return (shifted >> rot) | (shifted << ((32u - rot) & 31u));
}

void RandomGenerator::Seed(uint64_t seed) {
  state_ = 0;
  Next();
  state_ += seed;
  Next();
  seeded_ = true;
}

int32_t RandomGenerator::Draw(int32_t a, int32_t b) {
  if (b <= a) return a;
  if (!seeded_)
    Seed(platform::MonotonicMs() ^ static_cast<uint64_t>(platform::LocalSecondsSince1970()));
  const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(b) - a) + 1;
  // Lemire's multiply-and-reject draw.
  uint64_t product = static_cast<uint64_t>(Next()) * span;
  uint32_t low = static_cast<uint32_t>(product);
  if (low < span) {
    const uint32_t threshold = static_cast<uint32_t>((0x100000000ULL - span) % span);
    while (low < threshold) {
      product = static_cast<uint64_t>(Next()) * span;
      low = static_cast<uint32_t>(product);
    }
  }
  return static_cast<int32_t>(static_cast<int64_t>(a) + static_cast<int64_t>(product >> 32));
}

int64_t RunContext::NowMs() const {
  return clock ? clock() : static_cast<int64_t>(platform::MonotonicMs());
}

void RunContext::SleepMs(int64_t ms) const {
  if (ms <= 0) return;
  if (sleep) {
    sleep(ms);
  } else {
    platform::SleepMs(static_cast<uint32_t>(std::min<int64_t>(ms, UINT32_MAX)));
  }
}

int64_t RunContext::LocalNow() const {
  return localTime ? localTime() : platform::LocalSecondsSince1970();
}

bool RunContext::DisplayOn() const {
  return displayOn ? displayOn() : platform::DisplayIsOn();
}

bool RunContext::OnBattery() const {
  return onBattery ? onBattery() : platform::OnBattery();
}

bool RunContext::SuspendAllowed() const {
  return suspendAllowed ? suspendAllowed() : platform::SuspendAllowed();
}

void RunContext::Suspend() const {
  if (suspend) {
    suspend();
  } else {
    platform::Suspend();
  }
}

}  // namespace scene
