// The TGA reader: true-colour pictures, uncompressed (type 2) or run-length (type 10). Pixels
// that the data does not reach stay black; packets never write past the picture.
#include <algorithm>

#include "images/codec_internal.h"

namespace images::detail {
namespace {

// Writes pixels one after another, row after row in the file's order, into the bitmap.
class PixelSink {
 public:
  PixelSink(Image& out, int32_t bytesPerPixel, bool topFirst)
      : out_(out),
        bpp_(bytesPerPixel),
        topFirst_(topFirst),
        total_(static_cast<uint64_t>(out.width) * out.height) {}

  bool Full() const { return written_ >= total_; }

  void Put(const uint8_t* src) {
    const int32_t row = static_cast<int32_t>(written_ / out_.width);
    const int32_t x = static_cast<int32_t>(written_ % out_.width);
    uint8_t* dst = (topFirst_ ? out_.TopRow(row) : out_.Row(row)) + x * (out_.depth / 8);
    if (bpp_ == 2) {
      const uint32_t v = Le16(src);
      dst[0] = static_cast<uint8_t>((v & 31) * 8);
      dst[1] = static_cast<uint8_t>(((v >> 5) & 31) * 8);
      dst[2] = static_cast<uint8_t>(((v >> 10) & 31) * 8);
    } else {
      for (int32_t i = 0; i < bpp_; ++i) dst[i] = src[i];
    }
    ++written_;
  }

 private:
  Image& out_;
  int32_t bpp_;
  bool topFirst_;
  uint64_t total_;
  uint64_t written_ = 0;
};

}  // namespace

bool ProbeTga(const uint8_t* data, size_t size) {
  if (size < 18) return false;
  const uint8_t depth = data[16];
  return data[1] <= 1 && (data[2] == 2 || data[2] == 10) &&
         (depth == 16 || depth == 24 || depth == 32);
}

bool DecodeTga(const uint8_t* data, size_t size, Image& out) {
  if (!ProbeTga(data, size)) return false;
  const int32_t bits = data[16];
  const int32_t width = static_cast<int32_t>(Le16(data + 12));
  const int32_t height = static_cast<int32_t>(Le16(data + 14));
  if (!AllocateImage(out, width, height, bits == 32 ? 32 : 24)) return false;
  out.sourceDepth = bits;

  uint64_t offset = 18 + uint64_t{data[0]};
  if (data[1] != 0) offset += uint64_t{Le16(data + 5)} * data[7] / 8;
  const int32_t bpp = bits / 8;
  PixelSink sink(out, bpp, (data[17] & 0x20) != 0);
  const uint8_t* p = data + std::min<uint64_t>(offset, size);
  const uint8_t* end = data + size;

  if (data[2] == 2) {
    while (!sink.Full() && end - p >= bpp) {
      sink.Put(p);
      p += bpp;
    }
    return true;
  }
  while (!sink.Full() && end - p >= 1) {
    const uint8_t header = *p++;
    if (header & 0x80) {
      if (end - p < bpp) break;
      for (int32_t i = header - 127; i > 0 && !sink.Full(); --i) sink.Put(p);
      p += bpp;
    } else {
      for (int32_t i = header + 1; i > 0 && !sink.Full() && end - p >= bpp; --i) {
        sink.Put(p);
        p += bpp;
      }
    }
  }
  return true;
}

}  // namespace images::detail
