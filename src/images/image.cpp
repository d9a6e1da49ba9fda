#include "images/image.h"

#include <atomic>
#include <new>

namespace images {
namespace {
std::atomic<size_t> pixelByteLimit{size_t{1} << 30};
}  // namespace

size_t PixelByteLimit() {
  return pixelByteLimit.load(std::memory_order_relaxed);
}
void SetPixelByteLimit(size_t bytes) {
  pixelByteLimit.store(bytes, std::memory_order_relaxed);
}

bool AllocateImage(Image& image, int32_t width, int32_t height, int32_t depth) {
  if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension) return false;
  if (depth != 24 && depth != 32) return false;
  const int32_t pitch = PitchFor(width, depth);
  const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
  if (bytes > PixelByteLimit()) return false;
  std::vector<uint8_t> pixels;
  try {
    pixels.assign(bytes, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  image.width = width;
  image.height = height;
  image.depth = depth;
  image.sourceDepth = depth;
  image.codec = 0;
  image.pitch = pitch;
  image.pixels = std::move(pixels);
  return true;
}

}  // namespace images
