#include "scene/flake_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fake_engine.h"
#include "scene/engine_api.h"
#include "scoped_hook.h"

namespace scene {
namespace {

using testing::FakeEngine;
using testing::InstallFakeEngine;

class FlakeFieldTest : public ::testing::Test {
 protected:
  // The program's engine table comes back whatever the test does.
  flurrixtest::ScopedTable<EngineApi> engine_{Rto()};
  void SetUp() override {
    fake = &InstallFakeEngine();
    random.Seed(12);
    s.flakes = 10;
    s.flakesize = 3;
    s.speed = 3;
    s.wind = 0;
  }
  FlakePlan Plan() { return MakeScenePlan(s, random, {}).flakes; }
  void Build() {
    field = FlakeField{};
    BuildFlakeField(field, Plan(), random);
  }
  // True when v lies on the grid start + k * step for a whole k.
  static bool OnGrid(float v, float start, float step) {
    const float k = (v - start) / step;
    return std::fabs(k - std::round(k)) < 1e-3f;
  }

  FakeEngine* fake = nullptr;
  RandomGenerator random;
  settings::Settings s;
  FlakeField field;
};

TEST_F(FlakeFieldTest, TenFlakesAreTenEntitiesBesidesTheHiddenTemplate) {
  Build();
  ASSERT_EQ(fake->entities.size(), 11u);
  ASSERT_EQ(field.flakes.size(), 11u);
  EXPECT_EQ(field.flakes[0].entity, 0);
  const testing::FakeEntity& tpl = fake->entities.at(field.templateEntity);
  EXPECT_TRUE(tpl.hidden);
  EXPECT_FLOAT_EQ(tpl.z, 0.5f);
  EXPECT_FLOAT_EQ(tpl.rx, 90);
  for (int i = 1; i <= 10; ++i) {
    const testing::FakeEntity& e = fake->entities.at(field.flakes[i].entity);
    EXPECT_FALSE(e.hidden);
    EXPECT_EQ(e.material, field.material);
  }
}

TEST_F(FlakeFieldTest, StartsLieOnTheGridsWithFallSpeedsInRange) {
  s.flakes = 3000;
  s.speed = 5;
  Build();
  float minX = 99, maxX = -99, minFall = 99, maxFall = -99, maxTurn = 0;
  for (int i = 1; i <= s.flakes; ++i) {
    const Flake& f = field.flakes[i];
    const testing::FakeEntity& e = fake->entities.at(f.entity);
    ASSERT_TRUE(OnGrid(f.x, -11.5f, 1) && f.x >= -11.5f && f.x <= 11.5f) << f.x;
    ASSERT_TRUE(OnGrid(f.y, -8.5f, 1) && f.y >= -8.5f && f.y <= 8.5f) << f.y;
    ASSERT_TRUE(OnGrid(f.z, 1, 1) && f.z >= 1 && f.z <= 15) << f.z;
    ASSERT_TRUE(OnGrid(f.fall, 0.075f, 0.003f)) << f.fall;
    ASSERT_EQ(e.x, f.x);
    ASSERT_EQ(e.z, f.z);
    ASSERT_TRUE(e.rx == 90 && e.ry == 0 && OnGrid(e.rz, 0, 1)) << e.rz;
    minX = std::min(minX, f.x), maxX = std::max(maxX, f.x);
    minFall = std::min(minFall, f.fall), maxFall = std::max(maxFall, f.fall);
    maxTurn = std::max(maxTurn, e.rz);
  }
  // Both ends of every draw occur.
  EXPECT_EQ(minX, -11.5f);
  EXPECT_EQ(maxX, 11.5f);
  EXPECT_NEAR(minFall, 0.009f * 5, 1e-5f);
  EXPECT_NEAR(maxFall, 0.015f * 5, 1e-5f);
  EXPECT_EQ(maxTurn, 360);
}

TEST_F(FlakeFieldTest, WrapsAtTheSidesAndTheBottom) {
  s.speed = 1;
  s.flakes = 5;
  Build();
  Flake* f = field.flakes.data();
  const float startFall = 0.01f;
  for (int i = 1; i <= 5; ++i) f[i] = {f[i].entity, 0, 0, 5, 0, 0, 0};
  f[1].x = -12.006f;  // beyond -12: wraps
  f[2].x = 12.006f;
  f[3].x = -11.9f;  // within the rounded half width: stays
  f[4].y = -8.0f, f[4].dx = 0.004f, f[4].fall = startFall;
  f[5].y = -7.9f, f[5].fall = startFall, f[5].z = 16;
  UpdateFlakeField(field, random);
  EXPECT_NEAR(f[1].x, 10.994f, 0.002f);
  EXPECT_NEAR(f[2].x, -10.994f, 0.002f);
  EXPECT_NEAR(f[3].x, -11.9f, 0.002f);
  EXPECT_NEAR(f[4].y, 8.99f, 1e-4f);
  EXPECT_EQ(f[4].dx, 0);
  EXPECT_EQ(f[4].fall, startFall);
  EXPECT_GT(f[5].z, 16);  // no wrap, so the depth beyond 15 is kept
  f[5].y = -8.0f;
  UpdateFlakeField(field, random);
  EXPECT_TRUE(OnGrid(f[5].z, 1, 1) && f[5].z <= 15) << f[5].z;  // re-drawn at the top
  EXPECT_EQ(fake->entities.at(f[1].entity).x, f[1].x);
}

// A frame between two steps draws each flake on its way from the one to the other, turned as far,
// and one that wrapped coming in on its new side; the steps themselves are those of whole frames.
TEST_F(FlakeFieldTest, AFrameBetweenStepsDrawsTheFlakesOnTheirWayAndWrappedOnesWhereTheyAre) {
  s.flakes = 2;
  s.flakerotate = 1;
  Build();
  FlakeField whole = field;
  RandomGenerator wholeRandom = random;
  field.flakes[2].y = -7.99f;
  field.flakes[2].fall = 0.5f;  // beyond the bottom in this step
  whole.flakes[2] = field.flakes[2];
  const float turned = fake->entities.at(field.flakes[1].entity).rz;
  StepFlakeField(field, random);
  PlaceFlakeField(field, 0.25f);
  const Flake& f = field.flakes[1];
  const testing::FakeEntity& e = fake->entities.at(f.entity);
  EXPECT_NEAR(e.x, f.px + 0.25f * (f.x - f.px), 1e-5f);
  EXPECT_NEAR(e.y, f.py + 0.25f * (f.y - f.py), 1e-5f);
  EXPECT_NEAR(e.z, f.pz + 0.25f * (f.z - f.pz), 1e-5f);
  EXPECT_NE(e.y, f.y);
  EXPECT_FLOAT_EQ(e.rz, turned + 0.5f);
  // Wrapped to the top: it comes in there, a step's fall above where the step left it.
  const testing::FakeEntity& wrapped = fake->entities.at(field.flakes[2].entity);
  EXPECT_GT(field.flakes[2].y, 8.0f);
  EXPECT_NEAR(wrapped.y, field.flakes[2].y + 0.75f * 0.5f, 1e-5f);
  PlaceFlakeField(field, 1.0f);
  EXPECT_EQ(e.y, f.y);
  EXPECT_FLOAT_EQ(e.rz, turned + 2);
  // Stepped and placed now and then, or stepped and placed each step: the same snow.
  for (int step = 0; step < 50; ++step) {
    UpdateFlakeField(whole, wholeRandom);
    if (step > 0) StepFlakeField(field, random);
    if (step % 3 == 0) PlaceFlakeField(field, 0.5f);
  }
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(field.flakes[i].x, whole.flakes[i].x);
    EXPECT_EQ(field.flakes[i].y, whole.flakes[i].y);
    EXPECT_EQ(field.flakes[i].z, whole.flakes[i].z);
  }
}

TEST_F(FlakeFieldTest, NoWindIsABoundedWalkAndTheDepthDriftNeverGoesBack) {
  s.speed = 1;
  s.flakes = 200;
  Build();
  float minDz = 1, maxDz = -1, maxDx = 0;
  for (int frame = 0; frame < 300; ++frame) {
    UpdateFlakeField(field, random);
    for (int i = 1; i <= s.flakes; ++i) {
      minDz = std::min(minDz, field.flakes[i].dz);
      maxDz = std::max(maxDz, field.flakes[i].dz);
      maxDx = std::max(maxDx, std::fabs(field.flakes[i].dx));
    }
  }
  EXPECT_NEAR(minDz, 0, 1e-6f);
  EXPECT_NEAR(maxDz, 0.005f, 1e-6f);
  EXPECT_NEAR(maxDx, 0.005f, 1e-6f);
}

TEST_F(FlakeFieldTest, AFrameDrawsSwayWindDepthSwayAndDepthWindInThatOrder) {
  s.flakes = 1;
  s.wind = 1;
  Build();
  Flake& f = field.flakes[1];
  f.dx = 0;
  random.Seed(7);
  UpdateFlakeField(field, random);
  random.Seed(7);
  const int sway = random.Draw(0, 2), push = random.Draw(1, 30), depth = random.Draw(0, 2),
            drift = random.Draw(1, 30);
  EXPECT_FLOAT_EQ(f.dx, std::min((sway - 1) * 0.003f + push * 0.001f, 0.033f));
  EXPECT_FLOAT_EQ(f.dz, std::min((depth - 1) * 0.003f + drift * 0.001f, 0.033f));
}

TEST_F(FlakeFieldTest, EachWindDirectionPushesItsWay) {
  s.flakes = 50;
  for (int wind : {1, 2}) {
    s.wind = static_cast<int8_t>(wind);
    Build();
    for (int frame = 0; frame < 60; ++frame) UpdateFlakeField(field, random);
    float sum = 0;
    for (int i = 1; i <= s.flakes; ++i) sum += field.flakes[i].dx;
    // At speed 3 the push averages 0.0155 a frame, clamped to 0.033.
    EXPECT_GT((wind == 1 ? sum : -sum) / s.flakes, 0.025f) << wind;
  }
}

TEST_F(FlakeFieldTest, RotationTurnsEveryFlakeTwoDegreesAFrameOnlyWhenOn) {
  Build();
  const float turn = fake->entities.at(field.flakes[1].entity).rz;
  for (int frame = 0; frame < 3; ++frame) UpdateFlakeField(field, random);
  const testing::FakeEntity& still = fake->entities.at(field.flakes[1].entity);
  EXPECT_TRUE(still.rx == 90 && still.ry == 0 && still.rz == turn);
  s.flakerotate = 1;
  Build();
  const float turned = fake->entities.at(field.flakes[1].entity).rz;
  for (int frame = 0; frame < 3; ++frame) UpdateFlakeField(field, random);
  EXPECT_FLOAT_EQ(fake->entities.at(field.flakes[1].entity).rz, turned + 6);
  for (int i = 1; i <= s.flakes; ++i) {
    EXPECT_FLOAT_EQ(fake->entities.at(field.flakes[i].entity).rx, 96);
    EXPECT_FLOAT_EQ(fake->entities.at(field.flakes[i].entity).ry, 6);
  }
}

TEST_F(FlakeFieldTest, HostileCountsAndSpeedsStayWithinBounds) {
  s.flakes = 10'000'000;
  EXPECT_EQ(Plan().count, kMaxFlakes);
  s.flakesize = 100000;
  EXPECT_FLOAT_EQ(Plan().scale, 1.0f);
  s.flakesize = 40;
  EXPECT_FLOAT_EQ(Plan().scale, 0.4f);
  s.flakes = -5;
  Build();
  EXPECT_EQ(field.count, 0);
  EXPECT_EQ(fake->entities.size(), 1u);
  UpdateFlakeField(field, random);
  s.flakes = 3;
  for (int speed : {0, -5, 2'000'000'000}) {
    s.speed = speed;
    Build();
    UpdateFlakeField(field, random);
  }
}

}  // namespace
}  // namespace scene
