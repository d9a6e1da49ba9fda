#include "run/pacing.h"

#include <algorithm>

namespace run {
namespace {

// A frame may start this much before its turn: the millisecond clock and the system's sleep are
// coarser than a frame's place in the schedule.
constexpr int64_t kEarlyUs = 2000;
// How often the sources are asked: the display each rest, the power supply now and then.
constexpr int64_t kDisplayPollMs = kRestMs;
constexpr int64_t kBatteryPollMs = 5000;

}  // namespace

FramePacer::FramePacer(int64_t now, const scene::RunContext& context)
    : context_(&context),
      origin_(now),
      nextFrameUs_(now * 1000),
      lastDisplayPoll_(now - kDisplayPollMs),
      lastBatteryPoll_(now - kBatteryPollMs) {}

int64_t FramePacer::WaitMs(int64_t now) const {
  const int64_t early = nextFrameUs_ - now * 1000;
  return early <= kEarlyUs ? 0 : (early + 999) / 1000;
}

void FramePacer::Poll(int64_t now) {
  if (now - lastDisplayPoll_ >= kDisplayPollMs) {
    lastDisplayPoll_ = now;
    displayOn_ = context_->DisplayOn();
  }
  if (now - lastBatteryPoll_ >= kBatteryPollMs) {
    lastBatteryPoll_ = now;
    onBattery_ = context_->OnBattery();
  }
}

FramePlan FramePacer::Begin(int64_t now) {
  Poll(now);
  const int64_t nowUs = now * 1000;
  // Steps due since the run started, the one of the first frame included; rounded, so that a
  // frame presented a little early or late on a 60 Hz screen still takes exactly one.
  const int64_t due = (std::max<int64_t>(now - origin_, 0) * kStepsPerSecond + 500) / 1000 + 1;
  // Back from a rest the snow goes on where it stopped: one step, the time away dropped.
  const int64_t missed = resting_ ? 1 : due - stepsDue_;
  stepsDue_ = std::max(stepsDue_, due);
  resting_ = !displayOn_;
  if (resting_) {
    // Nothing to see: no steps and no drawing.
    nextFrameUs_ = nowUs + kRestMs * 1000;
    return {0, false};
  }
  const int64_t intervalUs =
      1000000 / (onBattery_ ? kBatteryPresentsPerSecond : kPresentsPerSecond);
  // Keep to the schedule; a run more than a frame behind starts a new one.
  nextFrameUs_ =
      nowUs - nextFrameUs_ >= intervalUs ? nowUs + intervalUs : nextFrameUs_ + intervalUs;
  return {static_cast<int32_t>(std::clamp<int64_t>(missed, 0, kMaxStepsPerFrame)), true};
}

}  // namespace run
