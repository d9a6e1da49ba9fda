// Picture files for textures, decoded by the shared codec library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// Decodes a BMP, PNG, JPEG or TGA file into 32-bit BGRA rows, bottom row first; opaque where the
// picture has no alpha channel.
bool DecodePictureFile(const std::string& path, int& width, int& height,
                       std::vector<uint8_t>& bgra);

}  // namespace engine
