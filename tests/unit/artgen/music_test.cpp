// The synthesised pieces: length, level, and a seam that loops without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "music.h"

namespace artgen {
namespace {

struct Stats {
  double seconds, rms, peak, seamJump, typicalJump;
};

Stats Measure(const Piece& p) {
  Stats s{};
  s.seconds = static_cast<double>(p.left.size()) / p.rate;
  double sum = 0, jumps = 0;
  for (size_t i = 0; i < p.left.size(); ++i) {
    sum += p.left[i] * p.left[i] + p.right[i] * p.right[i];
    s.peak = std::max({s.peak, std::fabs(double(p.left[i])), std::fabs(double(p.right[i]))});
    if (i > 0) jumps += std::fabs(p.left[i] - p.left[i - 1]);
  }
  s.rms = std::sqrt(sum / (2.0 * p.left.size()));
  s.typicalJump = jumps / (p.left.size() - 1);
  size_t last = p.left.size() - 1;
  s.seamJump = std::max(std::fabs(p.left[0] - p.left[last]), std::fabs(p.right[0] - p.right[last]));
  return s;
}

TEST(Music, ForestIsAboutNinetySecondsAudibleAndLoopsSmoothly) {
  Piece p = ComposeForest();
  ASSERT_EQ(p.left.size(), p.right.size());
  Stats s = Measure(p);
  EXPECT_NEAR(s.seconds, 90.0, 1.0);
  EXPECT_EQ(p.rate, 44100);
  EXPECT_LE(s.peak, 0.9);
  EXPECT_GT(s.rms, 0.05) << "too quiet to hear";
  // The step from the last sample back to the first is no bigger than an ordinary step.
  EXPECT_LT(s.seamJump, 6.0 * s.typicalJump + 1e-3);
  // Not silent anywhere: every second carries sound (pads hold throughout).
  for (size_t sec = 0; sec + 1 < static_cast<size_t>(s.seconds); ++sec) {
    double e = 0;
    for (size_t i = sec * p.rate; i < (sec + 1) * p.rate; ++i) e += p.left[i] * p.left[i];
    EXPECT_GT(std::sqrt(e / p.rate), 0.01) << "silence at " << sec << " s";
  }
}

TEST(Music, SnowfallIsItsOwnPiece) {
  Piece a = ComposeSnowfall();
  Stats s = Measure(a);
  EXPECT_GT(s.seconds, 30.0);
  EXPECT_GT(s.rms, 0.05);
  EXPECT_LT(s.seamJump, 6.0 * s.typicalJump + 1e-3);
  std::vector<int16_t> pcm = ToPcm16(a);
  ASSERT_EQ(pcm.size(), a.left.size() * 2);
  EXPECT_NEAR(pcm[2000] / 32767.0, a.left[1000], 2.0 / 32767.0);
  EXPECT_NEAR(pcm[2001] / 32767.0, a.right[1000], 2.0 / 32767.0);
}

TEST(Music, IsTheSameEveryTime) {
  Piece a = ComposeSnowfall(), b = ComposeSnowfall();
  EXPECT_TRUE(a.left == b.left && a.right == b.right);
}

}  // namespace
}  // namespace artgen
