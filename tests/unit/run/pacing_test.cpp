// The run's pacing against simulated screens: presents as often as the screen allows but at most
// 60 a second (30 on battery), steps by the clock, rests while the display is off.
#include "run/pacing.h"

#include <gtest/gtest.h>

#include <vector>

namespace run {
namespace {

// A screen refreshing `hz` times a second: presenting waits for its next refresh. The clock runs
// in microseconds; the pacer reads milliseconds, as the run's clock gives them.
struct SimulatedScreen {
  explicit SimulatedScreen(int refreshHz) : hz(refreshHz) {}
  int hz;
  int64_t renderUs = 1500;
  int64_t nowUs = 0;
  std::vector<FramePlan> frames;
  std::vector<int64_t> frameStartMs;
  int presents = 0;
  int steps = 0;

  void RunUntil(FramePacer& pacer, int64_t endMs) {
    while (nowUs < endMs * 1000) Frame(pacer);
  }
  void Frame(FramePacer& pacer) {
    nowUs += pacer.WaitMs(nowUs / 1000) * 1000;
    const FramePlan plan = pacer.Begin(nowUs / 1000);
    frames.push_back(plan);
    frameStartMs.push_back(nowUs / 1000);
    steps += plan.steps;
    nowUs += 200;  // input and exit checks
    if (!plan.draw) return;
    const int64_t refreshUs = 1000000 / hz;
    nowUs = (nowUs + renderUs + refreshUs - 1) / refreshUs * refreshUs;
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

TEST_F(Pacing, SixtyHertzTakesOneStepPerFrameSoAFadeTakes255Frames) {
  SimulatedScreen screen(60);
  FramePacer pacer(0, context);
  for (int i = 0; i < 255; ++i) screen.Frame(pacer);
  for (const FramePlan& plan : screen.frames) {
    ASSERT_EQ(plan.steps, 1);
    ASSERT_TRUE(plan.draw);
  }
  EXPECT_NEAR(screen.nowUs / 1000, 4250, 17);
}

TEST_F(Pacing, FastScreensAreHeldToSixtyPresentsAndKeepTheFadeTime) {
  SimulatedScreen sixty(60);
  FramePacer slowPacer(0, context);
  sixty.RunUntil(slowPacer, 10000);
  for (int hz : {75, 120, 144, 240}) {
    SimulatedScreen fast(hz);
    FramePacer pacer(0, context);
    fast.RunUntil(pacer, 10000);
    EXPECT_LE(fast.presents, 601) << hz;
    EXPECT_GE(fast.presents, 540) << hz;
    EXPECT_NEAR(fast.steps, 600, 2) << hz;
    // The fade's 255 steps end at the same time as on the 60 Hz screen, within a frame.
    EXPECT_NEAR(fast.StepReachedMs(255), sixty.StepReachedMs(255), 17) << hz;
  }
}

TEST_F(Pacing, SlowScreensAndStallsCatchUpByTheClockAtMostFourStepsAFrame) {
  SimulatedScreen thirty(30);
  FramePacer pacer(0, context);
  thirty.RunUntil(pacer, 2000);
  for (size_t i = 1; i < thirty.frames.size(); ++i) ASSERT_EQ(thirty.frames[i].steps, 2) << i;

  SimulatedScreen stalled(60);
  FramePacer stallPacer(0, context);
  stalled.RunUntil(stallPacer, 1000);
  stalled.nowUs += 2000000;
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
  const int64_t backMs = screen.nowUs / 1000;
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

TEST_F(Pacing, OnBatteryAtMostThirtyPresentsWithTheSameSteps) {
  onBattery = true;
  SimulatedScreen screen(144);
  FramePacer pacer(0, context);
  screen.RunUntil(pacer, 10000);
  EXPECT_LE(screen.presents, 301);
  EXPECT_GE(screen.presents, 270);
  EXPECT_NEAR(screen.steps, 600, 2);
}

}  // namespace
}  // namespace run
