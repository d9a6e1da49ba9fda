#include "scene/flake_field.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "images/codecs.h"
#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/texture_drawing.h"

namespace scene {
namespace {

// Products of hand-edited numbers, kept within 32 bits.
int32_t Saturated(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int Rgba(int r, int g, int b, int a) {
  return static_cast<int>(static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 |
                          static_cast<uint32_t>(b) << 16 | static_cast<uint32_t>(a) << 24);
}

}  // namespace

void PrepareFlakeTexture(const FlakePlan& plan) {
  EngineApi& rto = Rto();
  if (!plan.pictureFile.empty()) {
    rto.LoadTexture(kFlakeTexture, plan.pictureFile.c_str());
    return;
  }
  if (rto.CreateTexture(kFlakeTexture, 16, 16) == 0) return;
  const std::string name = "flake" + std::to_string(plan.builtInNumber) + ".png";
  const images::EmbeddedFile* file = images::FindEmbedded(plan.builtInFiles, name);
  images::Image flake;
  if (!file || !images::DecodeImage(file->data, file->size, flake)) return;
  DrawOnTexture(kFlakeTexture,
                [&](images::DrawTarget& target) { images::DrawImageAlpha(target, flake, 0, 0); });
}

void BuildFlakeField(FlakeField& field, const FlakePlan& plan, RandomGenerator& random,
                     float originX) {
  EngineApi& rto = Rto();
  const float scale = plan.scale;
  field.speed = plan.speed;
  field.drift = plan.drift;
  field.windFactor = plan.drift == Drift::kNone ? 4 : 10;
  field.rotate = plan.rotate;
  field.originX = originX;
  field.steps = 0;
  field.drawnAt = 0;

  field.material = rto.CreateMaterial(-1, rto.TextureID(kFlakeTexture));
  rto.MaterialBlendingMode(field.material, RTO_BLEND_ALPHA);
  rto.MaterialCullingMode(field.material, RTO_CULL_NONE);
  rto.MaterialFilteringMode2(field.material, RTO_FILTER_ANISOTROPIC, 4);
  rto.MaterialFog(field.material, Rgba(152, 172, 200, 128), 1.0f, 1.0f, 15.0f);
  rto.MaterialShadingMode(field.material, RTO_SHADE_SMOOTH);
  rto.SetMaterialColor(field.material, 0, Rgba(255, 255, 255, 230));
  rto.SetMaterialAttribute(field.material, RTO_ATTR_DEPTH_TEST, 0);
  rto.SetMaterialAttribute(field.material, RTO_ATTR_DEPTH_WRITE, 0);

  field.mesh = rto.CreatePlane(-1, 2.0f, 2.0f, 1, 1, 1.0f, 1.0f);
  field.templateEntity =
      rto.CreateEntity3(-1, rto.MeshID(field.mesh), rto.MaterialID(field.material), 0, 0, 0.5f);
  rto.RotateEntity(field.templateEntity, 90, 0, 0);
  rto.ScaleEntity(field.templateEntity, scale, scale, scale);
  rto.HideEntity(field.templateEntity, 1);

  field.count = plan.count;
  field.flakes.assign(static_cast<size_t>(field.count) + 1, Flake{});
  for (int32_t i = 1; i <= field.count; ++i) {
    Flake& f = field.flakes[i];
    f.entity = rto.CopyEntity(field.templateEntity, -1);
    f.x = static_cast<float>(random.Draw(0, kFieldWidth)) - 11.5f;
    f.y = static_cast<float>(random.Draw(0, kFieldHeight)) - 8.5f;
    f.z = static_cast<float>(random.Draw(1, kFieldDepth));
    f.fall = static_cast<float>(plan.speed) * 0.015f -
             static_cast<float>(random.Draw(0, Saturated(2 * int64_t{plan.speed}))) * 0.003f;
    f.px = f.x;
    f.py = f.y;
    f.pz = f.z;
    rto.RotateEntity(f.entity, 90, 0, static_cast<float>(random.Draw(0, 360)));
    rto.MoveEntity2(f.entity, field.originX + f.x, f.y, f.z, RTO_ABSOLUTE);
  }
}

void StepFlakeField(FlakeField& field, RandomGenerator& random) {
  // Half the box, rounded half to even: 12 and 8.
  const float hx = std::nearbyint(kFieldWidth * 0.5f);
  const float hy = std::nearbyint(kFieldHeight * 0.5f);
  const float sway = static_cast<float>(field.speed) * 0.001f;
  const int32_t range = Saturated(int64_t{field.speed} * field.windFactor);
  const float limit = static_cast<float>(range) * 0.001f + sway;

  ++field.steps;
  for (int32_t i = 1; i <= field.count; ++i) {
    Flake& f = field.flakes[i];
    f.dx += static_cast<float>(random.Draw(0, 2) - 1) * sway;
    if (field.drift == Drift::kLeftToRight) {
      f.dx += static_cast<float>(random.Draw(1, range)) * 0.001f;
    } else if (field.drift == Drift::kRightToLeft) {
      f.dx -= static_cast<float>(random.Draw(1, range)) * 0.001f;
    }
    if (f.dx < -limit) {
      f.dx = -limit;
    } else if (f.dx > limit) {
      f.dx = limit;
    }
    // Two statements: the operands of one expression may be evaluated in either order, and the
    // draws must come in this one.
    f.dz = static_cast<float>(random.Draw(0, 2) - 1) * sway;
    f.dz += static_cast<float>(random.Draw(1, range)) * 0.001f;
    if (f.dz > limit) f.dz = limit;

    f.px = f.x;
    f.py = f.y;
    f.pz = f.z;
    f.x += f.dx;
    f.y -= f.fall;
    f.z += f.dz;
    // A flake that wraps takes its previous place with it: a frame before the step draws it
    // coming in on its new side, not on its way across the screen.
    if (f.x < -hx) {
      f.x += kFieldWidth;
      f.px += kFieldWidth;
    } else if (f.x > hx) {
      f.x -= kFieldWidth;
      f.px -= kFieldWidth;
    }
    if (f.y < -hy) {
      f.dx = 0;
      f.y += kFieldHeight;
      f.py += kFieldHeight;
      if (f.z > kFieldDepth) f.pz = f.z = static_cast<float>(random.Draw(1, kFieldDepth));
    }
  }
}

void PlaceFlakeField(FlakeField& field, float fraction) {
  EngineApi& rto = Rto();
  // Measured back from the last step, so that a frame on it (0) draws exactly where it left them.
  const float back = 1.0f - fraction;
  const double drawnAt = static_cast<double>(field.steps) - back;
  // Two degrees about each axis a step.
  const auto turn = static_cast<float>(2.0 * (drawnAt - field.drawnAt));
  field.drawnAt = drawnAt;
  const bool turning = field.rotate && turn != 0;
  for (int32_t i = 1; i <= field.count; ++i) {
    const Flake& f = field.flakes[i];
    if (turning) rto.RotateEntity2(f.entity, turn, turn, turn, RTO_RELATIVE);
    rto.MoveEntity2(f.entity, field.originX + (f.x - (f.x - f.px) * back),
                    f.y - (f.y - f.py) * back, f.z - (f.z - f.pz) * back, RTO_ABSOLUTE);
  }
}

void UpdateFlakeField(FlakeField& field, RandomGenerator& random) {
  StepFlakeField(field, random);
  PlaceFlakeField(field, 1.0f);
}

}  // namespace scene
