#include "texture_file.h"

#include "images/codecs.h"

namespace engine {

bool DecodePictureFile(const std::string& path, int& width, int& height,
                       std::vector<uint8_t>& bgra) {
  images::Image image;
  if (!images::DecodeImageFile(path, image) || image.width <= 0 || image.height <= 0) return false;
  if (image.depth != 24 && image.depth != 32) return false;
  width = image.width;
  height = image.height;
  bgra.resize(static_cast<size_t>(width) * height * 4);
  const int step = image.depth / 8;
  for (int y = 0; y < height; ++y) {  // both bottom row first
    const uint8_t* src = image.pixels.data() + static_cast<size_t>(y) * image.pitch;
    uint8_t* dst = bgra.data() + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, src += step, dst += 4) {
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
      dst[3] = step == 4 ? src[3] : 255;
    }
  }
  return true;
}

}  // namespace engine
