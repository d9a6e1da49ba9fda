// The engine's inner parts without a screen: numbers, batches, transforms, font scripts.
#include <gtest/gtest.h>

#include <cmath>

#include "fonts.h"
#include "footprint.h"
#include "meshes.h"
#include "scene.h"

using namespace engine;

namespace {

TEST(Slots, HandOutFixedAndAnyNumbers) {
  Slots<int> slots;
  EXPECT_EQ(slots.Claim(3), 3);
  EXPECT_EQ(slots.Claim(kAnyNumber), kFirstAutoNumber);
  EXPECT_EQ(slots.Claim(kFirstAutoNumber + 1), kFirstAutoNumber + 1) << "a fixed number up there";
  EXPECT_EQ(slots.Claim(kAnyNumber), kFirstAutoNumber + 2) << "skips numbers in use";
  slots.Release(kFirstAutoNumber);
  EXPECT_EQ(slots.Claim(kAnyNumber), kFirstAutoNumber) << "reuses freed numbers";
  EXPECT_EQ(slots.Claim(kMaxNumber), -1);
  EXPECT_EQ(slots.Claim(-2), -1);
  EXPECT_FALSE(slots.Has(4));
  EXPECT_FALSE(slots.Has(-1));
}

TEST(Identities, CarryTheirKind) {
  EXPECT_EQ(NumberOfId(Kind::kMaterial, MakeId(Kind::kMaterial, 0)), 0);
  EXPECT_NE(MakeId(Kind::kMaterial, 0), 0);
  EXPECT_EQ(NumberOfId(Kind::kTexture, MakeId(Kind::kMaterial, 7)), -1);
  EXPECT_EQ(NumberOfId(Kind::kTexture, 7), -1);
}

TEST(Transforms, TurnAboutXThenYThenZ) {
  float m[12];
  // A plane's normal +y turned by (90, 0, r) faces the viewer; z then spins it in the screen.
  ComposeTransform({1, 2, 3}, {90, 0, 30}, {2, 2, 2}, m);
  const Vec3 normal = TransformPoint(m, {0, 1, 0}) - Vec3{1, 2, 3};
  EXPECT_NEAR(normal.x, 0, 1e-5);
  EXPECT_NEAR(normal.y, 0, 1e-5);
  EXPECT_NEAR(normal.z, 2, 1e-5);
  const Vec3 side = TransformPoint(m, {1, 0, 0}) - Vec3{1, 2, 3};
  EXPECT_NEAR(side.x, 2 * std::cos(30 * kRadiansPerDegree), 1e-5);
  EXPECT_NEAR(side.y, 2 * std::sin(30 * kRadiansPerDegree), 1e-5);
}

TEST(Transforms, SineAndCosineInDegreesMatchTheLibrary) {
  for (float d = -1000.0f; d <= 1000.0f; d += 0.37f) {
    float s = 0, c = 0;
    SinCosDegrees(d, s, c);
    const double r = static_cast<double>(d) * 3.14159265358979323846 / 180.0;
    ASSERT_NEAR(s, std::sin(r), 4e-7) << d;
    ASSERT_NEAR(c, std::cos(r), 4e-7) << d;
  }
  float s = 1, c = 0;
  SinCosDegrees(-90.0f, s, c);
  EXPECT_EQ(s, -1.0f);
  SinCosDegrees(180.0f, s, c);
  EXPECT_EQ(c, -1.0f);
}

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mesh_ = scene_.meshes.Claim(kAnyNumber);
    BuildPlane(*scene_.meshes.Find(mesh_), 2, 2, 1, 1, 1, 1);
    material_ = scene_.materials.Claim(kAnyNumber);
  }
  // The world position an entity's batch slot holds.
  Vec3 WorldOf(int e) {
    const Entity& en = *scene_.entities.Find(e);
    const float* m = &scene_.batches[en.batch].instances[static_cast<size_t>(en.slot) * 12];
    return {m[3], m[7], m[11]};
  }
  Scene scene_;
  int mesh_ = 0, material_ = 0;
};

TEST_F(SceneTest, FlakesSharingMeshAndMaterialFormOneBatch) {
  for (int i = 0; i < 2000; ++i) scene_.CreateEntity(kAnyNumber, mesh_, material_, {});
  scene_.CreateEntity(kAnyNumber, mesh_, kNoObject, {});
  const int back = scene_.CreateEntity(kAnyNumber, mesh_, material_, {});
  scene_.SetQueue(back, 0);
  ASSERT_EQ(scene_.batches.size(), 3u);
  EXPECT_EQ(scene_.batches[0].entities.size(), 2000u);
  EXPECT_EQ(scene_.batches[0].instances.size(), 2000u * 12);
}

TEST_F(SceneTest, HidingAndFreeingKeepEveryOtherTransformInPlace) {
  std::vector<int> flakes;
  for (int i = 0; i < 6; ++i) {
    flakes.push_back(scene_.CreateEntity(kAnyNumber, mesh_, material_, {float(i), 0, 0}));
  }
  scene_.UpdateTransforms();
  scene_.SetHidden(flakes[1], true);
  scene_.FreeEntity(flakes[2]);
  scene_.UpdateTransforms();
  EXPECT_EQ(scene_.batches[0].entities.size(), 4u);
  for (int i : {0, 3, 4, 5}) EXPECT_EQ(WorldOf(flakes[i]).x, float(i)) << i;
  scene_.SetHidden(flakes[1], false);
  scene_.UpdateTransforms();
  EXPECT_EQ(WorldOf(flakes[1]).x, 1.0f);
  EXPECT_EQ(scene_.batches[0].dirtyLo, 0);
  EXPECT_GE(scene_.batches[0].dirtyHi, 4) << "moved slots wait for upload";
}

TEST_F(SceneTest, OnlyChangedEntitiesAreComputedAgain) {
  const int a = scene_.CreateEntity(kAnyNumber, mesh_, material_, {1, 0, 0});
  const int b = scene_.CreateEntity(kAnyNumber, mesh_, material_, {2, 0, 0});
  scene_.UpdateTransforms();
  Batch& batch = scene_.batches[0];
  batch.dirtyLo = 0;
  batch.dirtyHi = -1;  // as after an upload
  scene_.entities.Find(b)->pos.x = 5;
  scene_.Touch(b, kMoved);
  scene_.entities.Find(a)->pos.x = 9;  // changed without a touch: not computed
  scene_.UpdateTransforms();
  EXPECT_EQ(WorldOf(a).x, 1.0f);
  EXPECT_EQ(WorldOf(b).x, 5.0f);
  EXPECT_EQ(batch.dirtyLo, 1);
  EXPECT_EQ(batch.dirtyHi, 1);
}

TEST_F(SceneTest, AMoveAfterATurnKeepsTheTurn) {
  const int e = scene_.CreateEntity(kAnyNumber, mesh_, material_, {});
  Entity& en = *scene_.entities.Find(e);
  en.rot = {0, 0, 90};
  en.scale = {2, 2, 2};
  scene_.Touch(e, kReshaped);
  en.pos = {4, 5, 6};
  scene_.Touch(e, kMoved);
  scene_.UpdateTransforms();
  const float* m = scene_.batches[0].instances.data();
  EXPECT_NEAR(m[0], 0, 1e-6);  // x turned onto y, doubled
  EXPECT_NEAR(m[4], 2, 1e-6);
  EXPECT_EQ(WorldOf(e).y, 5.0f);
  en.pos = {1, 1, 1};
  scene_.Touch(e, kMoved);
  scene_.UpdateTransforms();
  EXPECT_NEAR(m[4], 2, 1e-6);
  EXPECT_EQ(WorldOf(e).x, 1.0f);
}

TEST_F(SceneTest, NodeChangesReachAttachedEntitiesThroughTheHierarchy) {
  const int outer = scene_.nodes.Claim(kAnyNumber);
  const int inner = scene_.nodes.Claim(kAnyNumber);
  const int e = scene_.CreateEntity(kAnyNumber, mesh_, material_, {1, 0, 0});
  ASSERT_TRUE(scene_.Attach(inner, Kind::kEntity, e));
  ASSERT_TRUE(scene_.Attach(outer, Kind::kNode, inner));
  EXPECT_FALSE(scene_.Attach(inner, Kind::kNode, outer)) << "a loop";
  EXPECT_FALSE(scene_.Attach(inner, Kind::kNode, inner));
  scene_.nodes.Find(inner)->scale = {3, 3, 3};
  scene_.TouchNode(inner);
  scene_.UpdateTransforms();
  EXPECT_EQ(WorldOf(e).x, 3.0f);
  scene_.nodes.Find(outer)->pos = {10, 0, 0};
  scene_.TouchNode(outer);
  scene_.UpdateTransforms();
  EXPECT_EQ(WorldOf(e).x, 13.0f);
  scene_.FreeNode(outer);
  scene_.UpdateTransforms();
  EXPECT_EQ(WorldOf(e).x, 3.0f) << "the inner node now stands on its own";
}

TEST(Meshes, FaceOutwardsAndRefuseBadSizes) {
  Mesh m;
  ASSERT_TRUE(BuildCylinder(m, 1, 2));
  // Every triangle turns counter-clockwise seen from outside: its normal points away from the axis
  // or out of the caps.
  for (size_t i = 0; i < m.indices.size(); i += 3) {
    auto p = [&](int k) {
      const float* v = &m.vertices[m.indices[i + k] * 8];
      return Vec3{v[0], v[1], v[2]};
    };
    const Vec3 n = Cross(p(1) - p(0), p(2) - p(0));
    const Vec3 centre = (p(0) + p(1) + p(2)) * (1.0f / 3);
    EXPECT_GT(Dot(n, Vec3{centre.x, std::abs(centre.y) > 0.99f ? centre.y : 0, centre.z}), 0) << i;
  }
  EXPECT_FALSE(BuildPlane(m, 1, 1, 0, 1, 1, 1));
  EXPECT_FALSE(BuildPlane(m, NAN, 1, 1, 1, 1, 1));
  EXPECT_FALSE(BuildCube(m, -2));
}

// A plane filling clip space through an identity view onto 200 x 100 pixels; beside it the same
// plane moved 0.02 to the right (two pixels).
TEST(EngineFootprint, TexelsPerPixelCoverAndBounds) {
  Mesh plane;
  ASSERT_TRUE(BuildPlane(plane, 2, 2, 1, 1, 1, 1));
  float planes[24];
  ComposeTransform({0, 0, 0}, {90, 0, 0}, {1, 1, 1}, planes);
  ComposeTransform({0.02f, 0, 0}, {90, 0, 0}, {1, 1, 1}, planes + 12);
  const Footprint view(Mat4{}, 200, 100);

  // Minified when a pixel step crosses more than one texel, along either axis.
  EXPECT_TRUE(view.NowhereMinified(plane, planes, 1, 1, 0, 199, 99));
  EXPECT_FALSE(view.NowhereMinified(plane, planes, 1, 1, 0, 201, 99));
  EXPECT_FALSE(view.NowhereMinified(plane, planes, 1, 1, 0, 199, 101));
  // Turned a quarter, the texture's width lies along the screen's height.
  EXPECT_FALSE(view.NowhereMinified(plane, planes, 1, 0, 1, 199, 99));
  EXPECT_TRUE(view.NowhereMinified(plane, planes, 1, 0, 1, 99, 199));
  float tilted[12];
  ComposeTransform({0, 0, -2}, {60, 0, 0}, {1, 1, 1}, tilted);
  const Footprint deep(Perspective(50, 2, 0.1f, 100), 200, 100);
  EXPECT_FALSE(deep.NowhereMinified(plane, tilted, 1, 1, 0, 2, 2)) << "perspective across it";

  EXPECT_TRUE(view.CoversViewport(plane, planes, 1, RTO_CULL_NONE));
  EXPECT_FALSE(view.CoversViewport(plane, planes + 12, 1, RTO_CULL_NONE)) << "two pixels short";
  EXPECT_TRUE(view.CoversViewport(plane, planes, 2, RTO_CULL_NONE)) << "either instance";
  EXPECT_NE(view.CoversViewport(plane, planes, 1, RTO_CULL_BACK),
            view.CoversViewport(plane, planes, 1, RTO_CULL_FRONT))
      << "one side is culled";

  PixelRect r;
  ASSERT_TRUE(view.AddBounds(plane, planes + 12, 1, r));
  EXPECT_NEAR(r.x0, 2, 1e-3);
  EXPECT_NEAR(r.x1, 202, 1e-3);
  EXPECT_NEAR(r.y0, 0, 1e-3);
  EXPECT_NEAR(r.y1, 100, 1e-3);
  float behind[12];
  ComposeTransform({0, 0, 30}, {90, 0, 0}, {1, 1, 1}, behind);
  EXPECT_FALSE(deep.AddBounds(plane, behind, 1, r)) << "behind the eye";
}

TEST(FontScripts, NameFontsAndTheirFiles) {
  const auto defs = ParseFontScript(
      "# fonts of the clocks\r\n"
      "font Days\r\n"
      "  source   DejaVuSans.ttf  \r\n"
      "\n"
      "font Without Source\n"
      "FONT Big Digits\n"
      "Source fonts/digits.otf\n"
      "source ignored.ttf\n"
      "nonsense line\n");
  ASSERT_EQ(defs.size(), 2u);
  EXPECT_EQ(defs[0].name, "Days");
  EXPECT_EQ(defs[0].source, "DejaVuSans.ttf");
  EXPECT_EQ(defs[1].name, "Big Digits");
  EXPECT_EQ(defs[1].source, "fonts/digits.otf");
  EXPECT_TRUE(ParseFontScript("").empty());
  EXPECT_TRUE(ParseFontScript("source a.ttf\n").empty());
}

}  // namespace
