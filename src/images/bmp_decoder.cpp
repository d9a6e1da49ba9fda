// The BMP reader. Every header field is untrusted: pixels whose bytes lie beyond the data stay
// black, palette indices beyond the table give black, and no read or write leaves its buffer.
#include <algorithm>
#include <cstring>

#include "images/codec_internal.h"

namespace images::detail {
namespace {

struct Palette {
  const uint8_t* entries = nullptr;  // 4 bytes each: blue, green, red, unused
  uint32_t count = 0;

  void Put(uint32_t index, uint8_t* dst) const {
    if (index < count) {
      std::memcpy(dst, entries + 4 * index, 3);
    } else {
      dst[0] = dst[1] = dst[2] = 0;
    }
  }
};

// The colour table: colours-used entries when the header gives a sensible count, else 2^bits,
// cut to the entries present in the data.
Palette ReadPalette(const uint8_t* data, size_t size, uint32_t bits) {
  Palette palette;
  const uint64_t headerSize = Le32(data + 14);
  const uint64_t start = 14 + headerSize;
  uint64_t count = uint64_t{1} << bits;
  if (headerSize >= 40 && size >= 50) {
    const uint32_t used = Le32(data + 46);
    if (used > 0 && used < count) count = used;
  }
  if (start >= size) return palette;
  count = std::min<uint64_t>(count, (size - start) / 4);
  palette.entries = data + start;
  palette.count = static_cast<uint32_t>(count);
  return palette;
}

// 8-bit run-length data: writes packets until the end code, the end of the data or a packet
// that would write outside the picture.
void DecodeRle8(const uint8_t* p, const uint8_t* end, const Palette& palette, Image& out) {
  int64_t x = 0, y = 0;
  const int64_t w = out.width, h = out.height;
  while (end - p >= 2) {
    const uint32_t count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      if (y >= h || x + count > w) return;
      uint8_t* dst = out.Row(static_cast<int32_t>(y)) + 3 * x;
      for (uint32_t i = 0; i < count; ++i) palette.Put(value, dst + 3 * i);
      x += count;
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (end - p < 2) return;
      x += p[0];
      y += p[1];
      p += 2;
    } else {
      const size_t padded = (value + 1) & ~1u;
      if (static_cast<size_t>(end - p) < value || y >= h || x + value > w) return;
      uint8_t* dst = out.Row(static_cast<int32_t>(y)) + 3 * x;
      for (uint32_t i = 0; i < value; ++i) palette.Put(p[i], dst + 3 * i);
      x += value;
      p += std::min(padded, static_cast<size_t>(end - p));
    }
  }
}

void DecodeRowPixels(const uint8_t* src, int32_t count, uint32_t bits, uint32_t compression,
                     const Palette& palette, uint8_t* dst) {
  switch (bits) {
    case 1:
      for (int32_t x = 0; x < count; ++x, dst += 3) {
        const uint8_t v = (src[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
        dst[0] = dst[1] = dst[2] = v;
      }
      break;
    case 4:
      for (int32_t x = 0; x < count; ++x, dst += 3) {
        const uint8_t byte = src[x >> 1];
        palette.Put(x & 1 ? byte & 15 : byte >> 4, dst);
      }
      break;
    case 8:
      for (int32_t x = 0; x < count; ++x, dst += 3) palette.Put(src[x], dst);
      break;
    case 16:
      for (int32_t x = 0; x < count; ++x, dst += 3) {
        const uint32_t v = Le16(src + 2 * x);
        dst[0] = static_cast<uint8_t>((v & 31) * 8);
        if (compression == 3) {
          dst[1] = static_cast<uint8_t>(((v >> 5) & 63) * 4);
          dst[2] = static_cast<uint8_t>(((v >> 11) & 31) * 8);
        } else {
          dst[1] = static_cast<uint8_t>(((v >> 5) & 31) * 8);
          dst[2] = static_cast<uint8_t>(((v >> 10) & 31) * 8);
        }
      }
      break;
    case 24:
      std::memcpy(dst, src, 3 * static_cast<size_t>(count));
      break;
    case 32:
      for (int32_t x = 0; x < count; ++x, dst += 3) std::memcpy(dst, src + 4 * x, 3);
      break;
  }
}

// Whether the table has a decoder for this bit count and compression; others stay black.
bool Decodable(uint32_t bits, uint32_t compression) {
  switch (bits) {
    case 1:
    case 24:
    case 32:
      return true;
    case 4:
      return compression != 2;
    case 8:
      return true;
    case 16:
      return compression == 0 || compression == 3;
    default:
      return false;
  }
}

}  // namespace

bool ProbeBmp(const uint8_t* data, size_t size) {
  return size >= 14 && data[0] == 'B' && data[1] == 'M' && Le32(data + 6) == 0;
}

bool DecodeBmp(const uint8_t* data, size_t size, Image& out) {
  if (size < 34) return false;  // the header up to the compression code must be there
  const int32_t width = static_cast<int32_t>(Le32(data + 18));
  const int32_t height = static_cast<int32_t>(Le32(data + 22));
  const uint32_t bits = Le16(data + 28);
  const uint32_t compression = Le32(data + 30);
  // A top-down file (negative height) is not decoded: a black picture of its size.
  const bool topDown = height < 0;
  if (height < -kMaxDimension) return false;
  const int32_t rows = topDown ? -height : height;
  if (!AllocateImage(out, width, rows, 24)) return false;
  out.sourceDepth = static_cast<int32_t>(bits);
  if (topDown || !Decodable(bits, compression)) return true;

  const uint64_t offset = Le32(data + 10);
  if (offset >= size) return true;
  const Palette palette = bits <= 8 ? ReadPalette(data, size, bits) : Palette{};
  if (bits == 8 && compression == 1) {
    DecodeRle8(data + offset, data + size, palette, out);
    return true;
  }
  const uint64_t srcPitch = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  for (int32_t y = 0; y < rows; ++y) {
    const uint64_t start = offset + srcPitch * static_cast<uint64_t>(y);
    if (start >= size) break;
    // Only whole pixels present in the data are decoded; the rest of the row stays black.
    const uint64_t available = std::min<uint64_t>(size - start, srcPitch);
    const int32_t count = static_cast<int32_t>(std::min<uint64_t>(width, available * 8 / bits));
    DecodeRowPixels(data + start, count, bits, compression, palette, out.Row(y));
  }
  return true;
}

}  // namespace images::detail
