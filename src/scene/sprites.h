// 2D pictures drawn in screen pixels over the rendered scene, through the engine's overlay.
// A sprite is drawn only in the frame whose ShowSprite asks for it.
#pragma once

#include <cstdint>
#include <string>

namespace scene {

// Reads and decodes a picture file (BMP, PNG, JPEG, TGA) as sprite `number`; flags
// RTO_SPRITE_ALPHA keeps a 32-bit picture's alpha. False when the file cannot be read.
bool LoadSpriteFile(int32_t number, const std::string& path, int32_t flags);
bool SpriteExists(int32_t number);
// Draws the sprite at full size with its top-left corner at pixel (x, y).
void ShowSprite(int32_t number, int32_t x, int32_t y);
// 1 linear, 0 nearest.
void SetSpriteFiltering(int32_t mode);

}  // namespace scene
