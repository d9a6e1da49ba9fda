#include "texture_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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
  for (int y = 0; y < height; ++y) {  // both bottom row first
    const uint8_t* src = image.pixels.data() + static_cast<size_t>(y) * image.pitch;
    uint8_t* dst = bgra.data() + static_cast<size_t>(y) * width * 4;
    if (image.depth == 32) {
      std::memcpy(dst, src, static_cast<size_t>(width) * 4);
      continue;
    }
    // Four pixels from three words at a time (a full-screen picture is a few million pixels),
    // the rest one by one. Little-endian: byte 0 of a word is its lowest.
    int x = 0;
    for (; x + 4 <= width; x += 4, src += 12, dst += 16) {
      uint32_t in[3];
      std::memcpy(in, src, 12);
      const uint32_t out[4] = {in[0] | 0xFF000000u, in[0] >> 24 | in[1] << 8 | 0xFF000000u,
                               in[1] >> 16 | in[2] << 16 | 0xFF000000u, in[2] >> 8 | 0xFF000000u};
      std::memcpy(dst, out, 16);
    }
    for (; x < width; ++x, src += 3, dst += 4) {
      const uint32_t pixel = 0xFF000000u | uint32_t{src[2]} << 16 | uint32_t{src[1]} << 8 | src[0];
      std::memcpy(dst, &pixel, 4);
    }
  }
  return true;
}

}  // namespace engine
