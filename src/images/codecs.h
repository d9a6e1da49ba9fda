// Decoding and encoding pictures. This small library is shared by the program and the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "images/image.h"

namespace images {

// Decodes BMP, JPEG, TGA or PNG data (probed in that order). False, with `out` untouched, when no
// decoder accepts the data or it is broken.
bool DecodeImage(const uint8_t* data, size_t size, Image& out);

// Reads the whole file and decodes it.
bool DecodeImageFile(const std::string& path, Image& out);

}  // namespace images
