// The engine objects that one piece of the run creates and another finds again by number. Every
// other object takes any free number (-1) and is kept by the handle that comes back.
#pragma once

namespace scene {

// Textures.
inline constexpr int kPictureTexture = 1;  // the background picture
inline constexpr int kFlakeTexture = 5;
inline constexpr int kCoverTexture = 6;  // the black fade cover

// Materials.
inline constexpr int kPictureMaterial = 0;
inline constexpr int kCoverMaterial = 1;

// 3D texts.
inline constexpr int kForegroundText = 0;
inline constexpr int kDigitalClockText = 1;

// Sprites.
inline constexpr int kForegroundSprite = 7;  // the foreground picture

}  // namespace scene
