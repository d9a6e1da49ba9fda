#include "screen/output_scale.h"

#include <algorithm>

namespace screen {
namespace {

// No output is drawn at more than eight pixels a unit: a larger scale is a fault, not a panel.
constexpr int32_t kMaxScale = 8 * kScaleUnit;

int32_t Scaled(int32_t units, int32_t scale) {
  if (units <= 0) return 0;
  const int64_t pixels = (int64_t{units} * scale + kScaleUnit / 2) / kScaleUnit;
  return static_cast<int32_t>(std::max<int64_t>(pixels, 1));
}

}  // namespace

int32_t ChooseScale(const ScaleReports& reports, bool viewport) {
  int32_t scale = reports.outputScale * kScaleUnit;
  if (reports.onOutput) {
    if (viewport && reports.fraction > 0) {
      scale = reports.fraction;
    } else if (reports.bufferScale > 0) {
      scale = reports.bufferScale * kScaleUnit;
    }
  }
  return std::clamp(scale, 1, kMaxScale);
}

BufferPlan PlanBuffer(int32_t width, int32_t height, int32_t scale, bool viewport) {
  scale = std::clamp(scale, 1, kMaxScale);
  if (viewport) return {Scaled(width, scale), Scaled(height, scale), 1};
  const int32_t whole = (scale + kScaleUnit - 1) / kScaleUnit;
  return {width * whole, height * whole, whole};
}

}  // namespace screen
