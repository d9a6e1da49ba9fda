// Decoding and encoding pictures. This small library is shared by the program and the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "images/image.h"

namespace images {

// Decodes BMP, JPEG, TGA or PNG data (probed in that order). False, with `out` untouched, when no
// decoder accepts the data or it is broken. A JPEG photo comes out upright, turned and mirrored as
// its EXIF orientation says.
bool DecodeImage(const uint8_t* data, size_t size, Image& out);

// Reads the whole file and decodes it.
bool DecodeImageFile(const std::string& path, Image& out);

// Like DecodeImage, but a JPEG may be decoded at a reduced DCT scale, never below
// minWidth x minHeight (other formats decode at full size). For pictures about to be shrunk.
bool DecodeImageAtLeast(const uint8_t* data, size_t size, int32_t minWidth, int32_t minHeight,
                        Image& out);

// Reads a whole file into `out`. False when it cannot be opened or fewer bytes are read than
// its size.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

// `depth` argument of the encoders meaning "the picture's source depth".
inline constexpr int32_t kSourceDepth = 0;

// Encodes `image` with the encoder of `tag` ("BMP" or "JPEG"). The depth must be one of 1, 2, 4,
// 8, 16, 24, 32 and the encoder must take it (BMP: 1, 4, 8, 24, 32; JPEG always writes 24-bit
// colour). A 32-bit picture not written as 32 bits is first flattened onto white by its alpha.
// JPEG quality is 0..10 (clamped), libjpeg's quality divided by 10.
bool EncodeImage(const Image& image, uint32_t tag, int32_t quality, int32_t depth,
                 std::vector<uint8_t>& out);

// The save operation: EncodeImage into the file at `path`. A file left half written by a failure
// is deleted.
bool EncodeImageFile(const Image& image, const std::string& path, uint32_t tag, int32_t quality = 7,
                     int32_t depth = kSourceDepth);

// ---- The codec lists ----

// A decoder: `probe` looks at the first bytes only; `decode` fills `out` completely (it is
// handed an empty Image) and may still refuse broken data.
struct ImageDecoder {
  uint32_t tag = 0;
  bool (*probe)(const uint8_t* data, size_t size) = nullptr;
  bool (*decode)(const uint8_t* data, size_t size, Image& out) = nullptr;
};

// An encoder: `write24` takes a 24-bit picture and the depth to write; `write32` (optional)
// takes a 32-bit picture written at depth 32.
struct ImageEncoder {
  uint32_t tag = 0;
  bool (*write24)(const Image& image, int32_t quality, int32_t depth,
                  std::vector<uint8_t>& out) = nullptr;
  bool (*write32)(const Image& image, std::vector<uint8_t>& out) = nullptr;
};

inline constexpr size_t kMaxCodecs = 30;

// The lists start with the built-in codecs: decoders BMP, JPEG, TGA, PNG; encoders BMP, JPEG.
// Adding a codec whose tag is listed already, or to a full list, does nothing (false).
bool AddDecoder(const ImageDecoder& decoder);
bool AddEncoder(const ImageEncoder& encoder);
// The tag of the first decoder that accepts the data, or 0.
uint32_t ProbeImage(const uint8_t* data, size_t size);

// Flattens a 32-bit picture onto white into 24-bit rows:
// out = 255 - (255 - c) * a / 255 for blue, green and red.
Image FlattenOntoWhite(const Image& image);

}  // namespace images
