#include "scene/sprites.h"

#include "images/codecs.h"
#include "scene/engine_api.h"

namespace scene {

bool LoadSpriteFile(int32_t number, const std::string& path, int32_t flags) {
  images::Image picture;
  if (!images::DecodeImageFile(path, picture)) return false;
  // A picture without an alpha channel cannot keep one.
  if (picture.depth < 32) flags &= ~RTO_SPRITE_ALPHA;
  return Rto().CreateSprite(number, picture.pixels.data(), picture.width, picture.height,
                            picture.depth, picture.pitch, flags) != 0;
}

bool SpriteExists(int32_t number) {
  return Rto().IsSprite && Rto().IsSprite(number) != 0;
}

void ShowSprite(int32_t number, int32_t x, int32_t y) {
  Rto().DisplaySprite(number, x, y, 0, 0);
}

void SetSpriteFiltering(int32_t mode) {
  Rto().SpriteFilteringMode(mode);
}

}  // namespace scene
