#include "texture_file.h"

#include <algorithm>

#include "images/codecs.h"

namespace engine {

namespace {

// Lowers the codec library's pixel limit for one decode: the decoders then refuse a picture too
// large for a texture from its header instead of decoding it first.
class ScopedPixelLimit {
 public:
  explicit ScopedPixelLimit(size_t bytes) : saved_(images::PixelByteLimit()) {
    images::SetPixelByteLimit(std::min(bytes, saved_));
  }
  ~ScopedPixelLimit() { images::SetPixelByteLimit(saved_); }
  ScopedPixelLimit(const ScopedPixelLimit&) = delete;
  ScopedPixelLimit& operator=(const ScopedPixelLimit&) = delete;

 private:
  size_t saved_;
};

}  // namespace

bool DecodePictureFile(const std::string& path, size_t maxBytes, int& width, int& height,
                       std::vector<uint8_t>& bgra) {
  images::Image image;
  {
    const ScopedPixelLimit limit(maxBytes);
    if (!images::DecodeImageFile(path, image)) return false;
  }
  if (image.width <= 0 || image.height <= 0) return false;
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
