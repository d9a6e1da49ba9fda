// The run's pacing against simulated screens: presents every k-th refresh at the highest even rate
// up to 90 a second (45 on battery), each frame drawn for its own moment between two steps, steps
// by the clock, rests while the display is off.
#include "run/pacing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace run {
namespace {

constexpr int64_t kNsPerMs = 1000000;

// A screen refreshing `hz` times a second with vertical sync: presenting waits for its next
// refresh. The clock runs in nanoseconds; the pacer reads milliseconds, as the run's clock gives
// them, and a sleep ends a little late, as the system's do.
struct SimulatedScreen {
  explicit SimulatedScreen(int refreshHz) : hz(refreshHz) {}
  int64_t hz;
  int64_t renderNs = 1500000;
  int64_t nowNs = 0;
  std::vector<FramePlan> frames;
  std::vector<int64_t> frameStartMs;
  std::vector<int64_t> presentRefresh;  // the refresh each present waited for
  std::vector<double> moments;          // each drawn frame's moment, in steps
  int presents = 0;
  int steps = 0;

  int64_t RefreshNs(int64_t r) const { return r * 1000000000 / hz; }
  void RunUntil(FramePacer& pacer, int64_t endMs) {
    while (nowNs < endMs * kNsPerMs) Frame(pacer);
  }
  void Frame(FramePacer& pacer) {
    const int64_t waitMs = pacer.WaitMs(nowNs / kNsPerMs);
    if (waitMs > 0) nowNs += waitMs * kNsPerMs + 100000;
    const FramePlan plan = pacer.Begin(nowNs / kNsPerMs);
    frames.push_back(plan);
    frameStartMs.push_back(nowNs / kNsPerMs);
    steps += plan.steps;
    nowNs += 200000;  // input and exit checks
    if (!plan.draw) return;
    moments.push_back(steps - 1 + plan.fraction);
    nowNs += renderNs;
    int64_t refresh = nowNs * hz / 1000000000;
    while (RefreshNs(refresh) < nowNs) ++refresh;
    nowNs = RefreshNs(refresh);
    presentRefresh.push_back(refresh);
    ++presents;
  }
  // When the step count reached `n`.
  int64_t StepReachedMs(int n) const {
    int total = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
      total += frames[i].steps;
      if (total >= n) return frameStartMs[i];
    }
    return -1;
  }
  // True when every present after the first came `k` refreshes after the one before and each
  // frame's moment `60 * k / hz` steps after the one before.
  ::testing::AssertionResult EvenEvery(int64_t k) const {
    const double advance = 60.0 * static_cast<double>(k) / static_cast<double>(hz);
    for (size_t i = 1; i < presentRefresh.size(); ++i) {
      if (presentRefresh[i] - presentRefresh[i - 1] != k) {
        return ::testing::AssertionFailure()
               << "present " << i << " came " << presentRefresh[i] - presentRefresh[i - 1]
               << " refreshes after the one before";
      }
      if (std::abs(moments[i] - moments[i - 1] - advance) > 1e-4) {
        return ::testing::AssertionFailure()
               << "frame " << i << " moved " << moments[i] - moments[i - 1] << " steps";
      }
    }
    return ::testing::AssertionSuccess();
  }
};

class Pacing : public ::testing::Test {
 protected:
  void SetUp() override {
    context.displayOn = [this] {
      ++displayQuestions;
      return displayOn;
    };
    context.onBattery = [this] { return onBattery; };
  }
  scene::RunContext context;
  bool displayOn = true;
  bool onBattery = false;
  int displayQuestions = 0;
};

// An unknown refresh rate is taken as 60 Hz, today's pace: on a 60 Hz screen each frame lies
// exactly on a step.
TEST_F(Pacing, SixtyHertzTakesOneStepPerFrameSoAFadeTakes255Frames) {
  SimulatedScreen screen(60);
  FramePacer pacer(0, context);
  for (int i = 0; i < 255; ++i) screen.Frame(pacer);
  for (const FramePlan& plan : screen.frames) {
    ASSERT_EQ(plan.steps, 1);
    ASSERT_EQ(plan.fraction, 1.0f);
    ASSERT_TRUE(plan.draw);
  }
  EXPECT_NEAR(screen.nowNs / kNsPerMs, 4250, 17);
  EXPECT_TRUE(screen.EvenEvery(1));
}

// The recorder steps its clock by whole steps in milliseconds rounded down, the soak run by 1.5 s:
// every frame falls on a step and draws it as a frame of whole steps does.
TEST_F(Pacing, AClockSteppedInWholeStepsDrawsWholeSteps) {
  FramePacer recorder(0, context);
  for (int64_t step = 0; step < 600; ++step) {
    const FramePlan plan = recorder.Begin(step * 1000 / 60);
    ASSERT_EQ(plan.steps, 1) << step;
    ASSERT_EQ(plan.fraction, 1.0f) << step;
  }
  FramePacer soak(0, context);
  soak.Begin(0);
  for (int64_t frame = 1; frame < 100; ++frame) {
    const FramePlan plan = soak.Begin(frame * 1500);
    ASSERT_EQ(plan.steps, kMaxStepsPerFrame) << frame;
    ASSERT_EQ(plan.fraction, 1.0f) << frame;
  }
}

TEST_F(Pacing, EachScreenPresentsEveryKthRefreshAtMostNinetyTimesASecondAndKeepsTheFadeTime) {
  SimulatedScreen sixty(60);
  FramePacer sixtyPacer(0, context, 60000);
  sixty.RunUntil(sixtyPacer, 10000);
  struct Case {
    int hz;
    int64_t refreshesPerFrame;
  };
  for (const Case c : {Case{50, 1}, {60, 1}, {75, 1}, {120, 2}, {144, 2}, {165, 2}, {240, 3}}) {
    SimulatedScreen screen(c.hz);
    FramePacer pacer(0, context, c.hz * 1000);
    screen.RunUntil(pacer, 10000);
    EXPECT_TRUE(screen.EvenEvery(c.refreshesPerFrame)) << c.hz;
    EXPECT_NEAR(screen.steps, 600, 2) << c.hz;
    // The fade's 255 steps end at the same time as on the 60 Hz screen, within a frame.
    EXPECT_NEAR(screen.StepReachedMs(255), sixty.StepReachedMs(255), 17) << c.hz;
  }
  // A screen that comes to refresh faster (another output) is followed from the next frame.
  SimulatedScreen changed(144);
  FramePacer pacer(0, context, 60000);
  changed.RunUntil(pacer, 1000);
  pacer.SetRefreshMilliHz(144000);
  changed.Frame(pacer);
  changed.presentRefresh.clear();
  changed.moments.clear();
  changed.RunUntil(pacer, 2000);
  EXPECT_TRUE(changed.EvenEvery(2));
}

TEST_F(Pacing, SlowScreensAndStallsCatchUpByTheClockAtMostFourStepsAFrame) {
  SimulatedScreen thirty(30);
  FramePacer pacer(0, context, 30000);
  thirty.RunUntil(pacer, 2000);
  for (size_t i = 1; i < thirty.frames.size(); ++i) ASSERT_EQ(thirty.frames[i].steps, 2) << i;

  SimulatedScreen stalled(60);
  FramePacer stallPacer(0, context);
  stalled.RunUntil(stallPacer, 1000);
  stalled.nowNs += 2000 * kNsPerMs;
  stalled.Frame(stallPacer);
  EXPECT_EQ(stalled.frames.back().steps, kMaxStepsPerFrame);
  stalled.Frame(stallPacer);
  EXPECT_EQ(stalled.frames.back().steps, 1);
}

TEST_F(Pacing, DisplayOffRestsFourTimesASecondAndDrawsAgainAtOnce) {
  SimulatedScreen screen(60);
  FramePacer pacer(0, context);
  screen.RunUntil(pacer, 1000);
  displayOn = false;
  screen.RunUntil(pacer, 1300);  // the change is seen within one rest
  const size_t restStart = screen.frames.size();
  const int stepsBefore = screen.steps;
  screen.RunUntil(pacer, 11300);
  const size_t rests = screen.frames.size() - restStart;
  EXPECT_GE(rests, 39u);
  EXPECT_LE(rests, 41u);
  for (size_t i = restStart; i < screen.frames.size(); ++i) ASSERT_FALSE(screen.frames[i].draw);
  EXPECT_EQ(screen.steps, stepsBefore);
  displayOn = true;
  const int64_t backMs = screen.nowNs / kNsPerMs;
  screen.RunUntil(pacer, backMs + kRestMs + 100);
  int64_t firstDrawMs = -1;
  for (size_t i = restStart; i < screen.frames.size(); ++i) {
    if (screen.frames[i].draw) {
      firstDrawMs = screen.frameStartMs[i];
      EXPECT_EQ(screen.frames[i].steps, 1);  // no jump after the rest
      break;
    }
  }
  EXPECT_GE(firstDrawMs, backMs);
  EXPECT_LE(firstDrawMs, backMs + kRestMs);
  // The display is asked each rest and every quarter second while drawing, not every frame.
  EXPECT_LE(displayQuestions, 4 * 12 + 2);
}

// Half the mains cap: 30 frames a second at 60 Hz as before, 36 (every fourth refresh) at 144 Hz.
TEST_F(Pacing, OnBatteryAtMostFortyFivePresentsWithTheSameSteps) {
  onBattery = true;
  for (const int hz : {60, 144}) {
    SimulatedScreen screen(hz);
    FramePacer pacer(0, context, hz * 1000);
    screen.RunUntil(pacer, 10000);
    EXPECT_TRUE(screen.EvenEvery(hz == 60 ? 2 : 4)) << hz;
    EXPECT_NEAR(screen.presents, hz == 60 ? 300 : 360, 1) << hz;
    EXPECT_NEAR(screen.steps, 600, 2) << hz;
  }
}

}  // namespace
}  // namespace run
