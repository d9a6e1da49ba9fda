// The built-in codecs, and small helpers for reading untrusted little-endian data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/image.h"

namespace images::detail {

bool ProbeBmp(const uint8_t* data, size_t size);
bool DecodeBmp(const uint8_t* data, size_t size, Image& out);
bool WriteBmp24(const Image& image, int32_t quality, int32_t depth, std::vector<uint8_t>& out);
bool WriteBmp32(const Image& image, std::vector<uint8_t>& out);

bool ProbeTga(const uint8_t* data, size_t size);
bool DecodeTga(const uint8_t* data, size_t size, Image& out);

bool ProbePng(const uint8_t* data, size_t size);
bool DecodePng(const uint8_t* data, size_t size, Image& out);

bool ProbeJpeg(const uint8_t* data, size_t size);
bool DecodeJpeg(const uint8_t* data, size_t size, Image& out);
// Decodes at the smallest DCT scale (n/8) that keeps at least minWidth x minHeight once the
// picture is turned upright.
bool DecodeJpegAtLeast(const uint8_t* data, size_t size, int32_t minWidth, int32_t minHeight,
                       Image& out);
// The orientation in an EXIF block (an APP1 segment's data, starting "Exif\0\0"): 1 to 8, and 1
// when the block has no orientation, is damaged, or gives a value outside 1 to 8.
int32_t ExifOrientation(const uint8_t* data, size_t size);
// Turns and mirrors a decoded picture as an EXIF orientation says, so that it reads upright;
// 5 to 8 swap width and height. False when the turned picture cannot be allocated.
bool TurnUpright(Image& image, int32_t orientation);

// Also takes 32-bit rows, whose fourth byte it skips: EncodeImage hands it opaque pictures so,
// since flattening them would change nothing.
bool WriteJpeg24(const Image& image, int32_t quality, int32_t depth, std::vector<uint8_t>& out);

// Reads of a 16- or 32-bit little-endian value; callers check the bounds first.
inline uint32_t Le16(const uint8_t* p) {
  return p[0] | (p[1] << 8);
}
inline uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

}  // namespace images::detail
