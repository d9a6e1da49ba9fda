// Picture files for textures, decoded by the shared codec library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// Decodes a BMP, PNG, JPEG or TGA file into 32-bit BGRA rows, bottom row first; opaque where the
// picture has no alpha channel. A picture whose pixels would take more than `maxBytes` is
// refused from its header, before it is decoded.
bool DecodePictureFile(const std::string& path, size_t maxBytes, int& width, int& height,
                       std::vector<uint8_t>& bgra);

}  // namespace engine
