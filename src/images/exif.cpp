// The EXIF orientation of a photo, and turning a decoded picture upright by it. The EXIF block
// is untrusted: every offset and count is checked against it, and anything damaged means
// "already upright".
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "images/codec_internal.h"

namespace images::detail {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;

// Reads of the TIFF structure inside the block, in its byte order.
struct Tiff {
  const uint8_t* data;
  size_t size;
  bool bigEndian;

  uint32_t U16(size_t at) const {
    return bigEndian ? data[at] << 8 | data[at + 1] : data[at] | data[at + 1] << 8;
  }
  uint32_t U32(size_t at) const {
    return bigEndian ? U16(at) << 16 | U16(at + 2) : U16(at) | U16(at + 2) << 16;
  }
};

}  // namespace

int32_t ExifOrientation(const uint8_t* data, size_t size) {
  constexpr size_t kExifHeader = 6, kTiffHeader = 8, kEntry = 12;
  if (size < kExifHeader + kTiffHeader || std::memcmp(data, "Exif\0\0", kExifHeader) != 0) {
    return 1;
  }
  const uint8_t* order = data + kExifHeader;
  const bool littleEndian = order[0] == 'I' && order[1] == 'I';
  const bool bigEndian = order[0] == 'M' && order[1] == 'M';
  if (!littleEndian && !bigEndian) return 1;
  const Tiff tiff{order, size - kExifHeader, bigEndian};
  if (tiff.U16(2) != 42) return 1;

  // The first directory: a count, then 12-byte entries of tag, type, count and value.
  const uint64_t directory = tiff.U32(4);
  if (directory + 2 > tiff.size) return 1;
  const uint64_t entries = tiff.U16(directory);
  for (uint64_t i = 0; i < entries; ++i) {
    const uint64_t entry = directory + 2 + kEntry * i;
    if (entry + kEntry > tiff.size) return 1;
    if (tiff.U16(entry) != kOrientationTag) continue;
    if (tiff.U16(entry + 2) != kTypeShort || tiff.U32(entry + 4) != 1) return 1;
    const uint32_t value = tiff.U16(entry + 8);
    return value >= 1 && value <= 8 ? static_cast<int32_t>(value) : 1;
  }
  return 1;
}

bool TurnUpright(Image& image, int32_t orientation) {
  if (orientation < 2 || orientation > 8) return true;
  // Each displayed pixel (x, y) comes from the stored pixel (u, v), where (u, v) is (x, y) or,
  // for 5 to 8, (y, x); then either coordinate may count from the far side.
  const bool transposed = orientation >= 5;
  const bool flipU = orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
  const bool flipV = orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
  const int32_t w = image.width, h = image.height;
  const ptrdiff_t bytes = image.depth / 8;
  Image turned;
  if (!AllocateImage(turned, transposed ? h : w, transposed ? w : h, image.depth)) return false;
  turned.sourceDepth = image.sourceDepth;
  turned.codec = image.codec;

  // Stepping x moves u (a pixel along the stored row) or, transposed, v (a stored row).
  const ptrdiff_t pixelStep = flipU ? -bytes : bytes;
  const ptrdiff_t rowStep = flipV ? image.pitch : -static_cast<ptrdiff_t>(image.pitch);
  const ptrdiff_t stepX = transposed ? rowStep : pixelStep;
  const ptrdiff_t stepY = transposed ? pixelStep : rowStep;
  const uint8_t* origin = image.TopRow(flipV ? h - 1 : 0) + (flipU ? w - 1 : 0) * bytes;
  // In tiles, so that the stored rows a turned tile reads from stay in the cache.
  auto copy = [&]<size_t kBytes>() {
    constexpr int32_t kTile = 64;
    for (int32_t y0 = 0; y0 < turned.height; y0 += kTile) {
      const int32_t y1 = std::min(y0 + kTile, turned.height);
      for (int32_t x0 = 0; x0 < turned.width; x0 += kTile) {
        const int32_t x1 = std::min(x0 + kTile, turned.width);
        for (int32_t y = y0; y < y1; ++y) {
          const uint8_t* src = origin + stepY * y + stepX * x0;
          uint8_t* dst = turned.TopRow(y) + kBytes * x0;
          for (int32_t x = x0; x < x1; ++x, src += stepX, dst += kBytes) {
            std::memcpy(dst, src, kBytes);
          }
        }
      }
    }
  };
  if (bytes == 4) {
    copy.operator()<4>();
  } else {
    copy.operator()<3>();
  }
  image = std::move(turned);
  return true;
}

}  // namespace images::detail
