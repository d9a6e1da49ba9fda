#include "scene/texture_drawing.h"

#include <optional>

#include "scene/engine_api.h"

namespace scene {

bool DrawOnTexture(int32_t texture, const std::function<void(images::DrawTarget&)>& draw) {
  EngineApi& rto = Rto();
  int width = 0, height = 0, pitch = 0;
  void* rows = rto.LockTexture ? rto.LockTexture(texture, &width, &height, &pitch) : nullptr;
  if (!rows) return false;
  std::optional<images::DrawTarget> target = images::StartDrawing(
      images::RawPixels{static_cast<uint8_t*>(rows), width, height, pitch, 32});
  if (target) draw(*target);
  if (rto.UnlockTexture) rto.UnlockTexture(texture);
  return target.has_value();
}

}  // namespace scene
