// An in-memory picture: a device-independent bitmap, bottom row first, blue-green-red(-alpha).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace images {

// Codec tags: up to four ASCII letters read as a little-endian 32-bit value.
inline constexpr uint32_t kTagBmp = 0x504D42;
inline constexpr uint32_t kTagJpeg = 0x4745504A;
inline constexpr uint32_t kTagPng = 0x474E50;
inline constexpr uint32_t kTagTga = 0x414754;

// Width and height are 16-bit quantities; nothing larger is ever made or decoded.
inline constexpr int32_t kMaxDimension = 65535;

struct Image {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;            // 24 or 32 bits per pixel in memory
  int32_t sourceDepth = 0;      // bits per pixel of the source; the default depth when saved
  uint32_t codec = 0;           // tag of the decoder that read it (0 for a created picture)
  int32_t pitch = 0;            // bytes per row: 24-bit rows padded to a multiple of 4
  std::vector<uint8_t> pixels;  // height * pitch bytes; row 0 of the picture is the last row

  // Row y counted from the top of the picture.
  uint8_t* TopRow(int32_t y) { return pixels.data() + static_cast<size_t>(height - 1 - y) * pitch; }
  const uint8_t* TopRow(int32_t y) const {
    return pixels.data() + static_cast<size_t>(height - 1 - y) * pitch;
  }
  // Row y counted from the bottom, the order of the bitmap in memory.
  uint8_t* Row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * pitch; }
  const uint8_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * pitch; }
};

inline int32_t PitchFor(int32_t width, int32_t depth) {
  return depth == 32 ? 4 * width : ((3 * width + 3) / 4) * 4;
}

// The most pixel bytes one picture may take. Decoders refuse larger pictures instead of
// trusting a header's size; fuzzing lowers it. The default is 1 GiB.
size_t PixelByteLimit();
void SetPixelByteLimit(size_t bytes);

// Sets `image` to width x height at depth 24 or 32 with every byte 0 (source depth = depth,
// codec 0). False, with `image` untouched, for a size of 0, beyond kMaxDimension, beyond the
// byte limit, another depth, or when memory runs out.
bool AllocateImage(Image& image, int32_t width, int32_t height, int32_t depth);

}  // namespace images
