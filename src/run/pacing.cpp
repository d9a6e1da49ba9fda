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
constexpr int64_t kTicksPerRefresh = kStepsPerSecond * 1000;
// Whole hours are taken off the reckoning as they pass, so that a run of weeks (or a clock that
// starts far on) keeps its tick counts small.
constexpr int64_t kHourMs = 3600 * 1000;

int32_t KnownRefresh(int32_t refreshMilliHz) {
  return refreshMilliHz > 0 ? refreshMilliHz : kAssumedRefreshMilliHz;
}

// a / b rounded up, for a of either sign and b > 0.
int64_t CeilDiv(int64_t a, int64_t b) {
  return a >= 0 ? (a + b - 1) / b : -(-a / b);
}

}  // namespace

int32_t RefreshesPerFrame(int32_t refreshMilliHz, int32_t mostPerSecond) {
  const int64_t refresh = KnownRefresh(refreshMilliHz);
  const int64_t most = int64_t{std::max(mostPerSecond, 1)} * 1000;
  return static_cast<int32_t>(CeilDiv(refresh, most));
}

FramePacer::FramePacer(int64_t now, const scene::RunContext& context, int32_t refreshMilliHz)
    : context_(&context),
      refreshMilliHz_(KnownRefresh(refreshMilliHz)),
      origin_(now),
      nextMoment_(0),
      nextFrameUs_(now * 1000),
      lastDisplayPoll_(now - kDisplayPollMs),
      lastBatteryPoll_(now - kBatteryPollMs) {}

void FramePacer::SetRefreshMilliHz(int32_t refreshMilliHz) {
  const int32_t refresh = KnownRefresh(refreshMilliHz);
  if (refresh == refreshMilliHz_) return;
  // The schedule goes on in the new rate's ticks.
  nextMoment_ = nextMoment_ * refresh / refreshMilliHz_;
  refreshMilliHz_ = refresh;
}

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
  const int64_t step = refreshMilliHz_;  // in ticks
  if (now - origin_ >= kHourMs) {
    const int64_t hours = (now - origin_) / kHourMs;
    origin_ += hours * kHourMs;
    stepsDue_ -= hours * 3600 * kStepsPerSecond;
    nextMoment_ -= hours * 3600 * kStepsPerSecond * step;
  }
  const int64_t nowTicks = std::max<int64_t>(now - origin_, 0) * kStepsPerSecond * step / 1000;
  const int64_t period =
      kTicksPerRefresh * RefreshesPerFrame(refreshMilliHz_, onBattery_
                                                                ? kMostBatteryPresentsPerSecond
                                                                : kMostPresentsPerSecond);
  // Each frame shows its own moment in the schedule, whatever the millisecond clock and the
  // sleep made of its start; a frame more than a frame's time off its moment starts a new one.
  if (nowTicks - nextMoment_ >= period || nextMoment_ - nowTicks > period) nextMoment_ = nowTicks;
  const int64_t moment = nextMoment_;
  // Steps due by the frame's moment since the run started, the one of the first frame included.
  const int64_t due = CeilDiv(moment, step) + 1;
  // Back from a rest the snow goes on where it stopped: one step, the time away dropped.
  const int64_t missed = resting_ ? 1 : due - stepsDue_;
  stepsDue_ = std::max(stepsDue_, due);
  resting_ = !displayOn_;
  if (resting_) {
    // Nothing to see: no steps and no drawing.
    nextFrameUs_ = (now + kRestMs) * 1000;
    return {0, false, 1};
  }
  nextMoment_ = moment + period;
  nextFrameUs_ = origin_ * 1000 + nextMoment_ * 1000000 / (kStepsPerSecond * step);
  // The last step taken is step stepsDue_ - 1 of the schedule (those skipped count as taken).
  const double fraction =
      static_cast<double>(moment - (stepsDue_ - 2) * step) / static_cast<double>(step);
  return {static_cast<int32_t>(std::clamp<int64_t>(missed, 0, kMaxStepsPerFrame)), true,
          static_cast<float>(std::clamp(fraction, 0.0, 1.0))};
}

}  // namespace run
