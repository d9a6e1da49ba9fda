// One libFuzzer entry per decoder: decode and check the record it makes. ASan watches every
// read of the data and every write into the bitmap.
#pragma once

#include <cstdlib>

#include "images/codecs.h"

namespace images::fuzz {

inline int Run(bool (*decode)(const uint8_t*, size_t, Image&), const uint8_t* data, size_t size) {
  // A quarter megapixel is plenty to reach every path, and keeps each run quick.
  SetPixelByteLimit(size_t{1} << 20);
  Image image;
  if (!decode(data, size, image)) return 0;
  if (image.width < 1 || image.height < 1 || image.width > kMaxDimension ||
      image.height > kMaxDimension || (image.depth != 24 && image.depth != 32) ||
      image.pitch != PitchFor(image.width, image.depth) ||
      image.pixels.size() != static_cast<size_t>(image.pitch) * image.height) {
    std::abort();
  }
  return 0;
}

}  // namespace images::fuzz

#define FLURRIX_DECODER_FUZZER(decoder)                                     \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    return images::fuzz::Run(decoder, data, size);                          \
  }
