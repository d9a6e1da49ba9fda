// One libFuzzer entry per decoder: decode, check the record, and write the result back out
// (the BMP encoder reads every row).
#pragma once

#include <cstdlib>
#include <vector>

#include "images/codecs.h"

namespace images::fuzz {

inline int Run(bool (*decode)(const uint8_t*, size_t, Image&), const uint8_t* data, size_t size) {
  // A megapixel is plenty to reach every path, and keeps each run quick.
  SetPixelByteLimit(size_t{4} << 20);
  Image image;
  if (!decode(data, size, image)) return 0;
  if (image.width < 1 || image.height < 1 || image.width > kMaxDimension ||
      image.height > kMaxDimension || (image.depth != 24 && image.depth != 32) ||
      image.pitch != PitchFor(image.width, image.depth) ||
      image.pixels.size() != static_cast<size_t>(image.pitch) * image.height) {
    std::abort();
  }
  std::vector<uint8_t> out;
  if (!EncodeImage(image, kTagBmp, 7, 24, out)) std::abort();
  return 0;
}

}  // namespace images::fuzz

#define FLURRIX_DECODER_FUZZER(decoder)                                     \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    return images::fuzz::Run(decoder, data, size);                          \
  }
