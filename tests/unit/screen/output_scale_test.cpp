// The pixels of a Wayland surface on a scaled output: the buffer's size from the surface's size
// and the scale, and which of the compositor's reports decides the scale.
#include "screen/output_scale.h"

#include <gtest/gtest.h>

#include <ostream>

namespace screen {

void PrintTo(const BufferPlan& p, std::ostream* os) {
  *os << p.width << "x" << p.height << " at buffer scale " << p.bufferScale;
}

namespace {

TEST(OutputScale, BufferPixelsForTheScale) {
  // Through a viewport: each side rounded to the nearest pixel, halves away from zero.
  EXPECT_EQ(PlanBuffer(1280, 720, 240, true), (BufferPlan{2560, 1440, 1}));
  EXPECT_EQ(PlanBuffer(855, 481, 180, true), (BufferPlan{1283, 722, 1}))
      << "1282.5 and 721.5 go up";
  EXPECT_EQ(PlanBuffer(641, 359, 150, true), (BufferPlan{801, 449, 1}))
      << "801.25 and 448.75 to the nearest";
  EXPECT_EQ(PlanBuffer(853, 480, 120, true), (BufferPlan{853, 480, 1}));
  EXPECT_EQ(PlanBuffer(0, 0, 180, true), (BufferPlan{0, 0, 1})) << "no size yet stays none";
  // Without one: a whole buffer scale, rounded up, that both sides are multiples of.
  EXPECT_EQ(PlanBuffer(640, 360, 240, false), (BufferPlan{1280, 720, 2}));
  EXPECT_EQ(PlanBuffer(640, 360, 180, false), (BufferPlan{1280, 720, 2}));
  EXPECT_EQ(PlanBuffer(640, 360, 120, false), (BufferPlan{640, 360, 1}));
  EXPECT_EQ(PlanBuffer(100, 100, 99999, false), (BufferPlan{800, 800, 8})) << "at most eight";
}

TEST(OutputScale, WhichReportDecides) {
  ScaleReports r;
  r.outputScale = 2;
  r.fraction = 120;  // KWin's word before the surface is shown
  EXPECT_EQ(ChooseScale(r, true), 240) << "until it is on an output, its output's scale";
  r.onOutput = true;
  r.fraction = 180;
  EXPECT_EQ(ChooseScale(r, true), 180) << "then the fractional scale through a viewport";
  EXPECT_EQ(ChooseScale(r, false), 240) << "which needs the viewport";
  r.bufferScale = 3;
  EXPECT_EQ(ChooseScale(r, false), 360) << "the preferred buffer scale before the outputs'";
  EXPECT_EQ(ChooseScale(r, true), 180) << "but after the fractional one";
  r = {};
  r.onOutput = true;
  r.outputScale = 1;
  EXPECT_EQ(ChooseScale(r, true), 120) << "nothing said: the outputs' scale";
}

}  // namespace
}  // namespace screen
