// The decoder and encoder lists, loading from memory and files, and the save rules.
#include <cstdio>
#include <new>

#include "images/codec_internal.h"
#include "images/codecs.h"
#include "platform/platform.h"

namespace images {
namespace {

struct CodecLists {
  std::vector<ImageDecoder> decoders{
      {kTagBmp, detail::ProbeBmp, detail::DecodeBmp},
      {kTagJpeg, detail::ProbeJpeg, detail::DecodeJpeg},
      {kTagTga, detail::ProbeTga, detail::DecodeTga},
      {kTagPng, detail::ProbePng, detail::DecodePng},
  };
  std::vector<ImageEncoder> encoders{
      {kTagBmp, detail::WriteBmp24, detail::WriteBmp32},
      {kTagJpeg, detail::WriteJpeg24, nullptr},
  };
};

// Filled on first use, so that the engine, which has no start-up of ours, decodes too.
CodecLists& Lists() {
  static CodecLists lists;
  return lists;
}

const ImageDecoder* FindDecoder(const uint8_t* data, size_t size) {
  if (!data) return nullptr;
  for (const ImageDecoder& decoder : Lists().decoders) {
    if (decoder.probe(data, size)) return &decoder;
  }
  return nullptr;
}

// Whether an Image record is consistent enough to read all of its rows.
bool WellFormed(const Image& image) {
  return (image.depth == 24 || image.depth == 32) && image.width >= 1 && image.height >= 1 &&
         image.width <= kMaxDimension && image.height <= kMaxDimension &&
         image.pitch == PitchFor(image.width, image.depth) &&
         image.pixels.size() >= static_cast<size_t>(image.pitch) * image.height;
}

}  // namespace

bool AddDecoder(const ImageDecoder& decoder) {
  auto& list = Lists().decoders;
  if (!decoder.probe || !decoder.decode || list.size() >= kMaxCodecs) return false;
  for (const ImageDecoder& d : list) {
    if (d.tag == decoder.tag) return false;
  }
  list.push_back(decoder);
  return true;
}

bool AddEncoder(const ImageEncoder& encoder) {
  auto& list = Lists().encoders;
  if (!encoder.write24 || list.size() >= kMaxCodecs) return false;
  for (const ImageEncoder& e : list) {
    if (e.tag == encoder.tag) return false;
  }
  list.push_back(encoder);
  return true;
}

uint32_t ProbeImage(const uint8_t* data, size_t size) {
  const ImageDecoder* decoder = FindDecoder(data, size);
  return decoder ? decoder->tag : 0;
}

bool DecodeImage(const uint8_t* data, size_t size, Image& out) {
  // The first decoder that accepts the data decides; its refusal is the answer.
  const ImageDecoder* decoder = FindDecoder(data, size);
  if (!decoder) return false;
  Image image;
  if (!decoder->decode(data, size, image)) return false;
  image.codec = decoder->tag;
  out = std::move(image);
  return true;
}

bool DecodeImageAtLeast(const uint8_t* data, size_t size, int32_t minWidth, int32_t minHeight,
                        Image& out) {
  const ImageDecoder* decoder = FindDecoder(data, size);
  if (decoder && decoder->decode == detail::DecodeJpeg) {
    return detail::DecodeJpegAtLeast(data, size, minWidth, minHeight, out);
  }
  return DecodeImage(data, size, out);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  const int64_t size = platform::FileSize(path);
  // No picture file is larger than twice the largest bitmap it could make.
  if (size < 0 || static_cast<uint64_t>(size) > 2 * static_cast<uint64_t>(PixelByteLimit())) {
    return false;
  }
  std::FILE* file = platform::OpenFile(path, "rb");
  if (!file) return false;
  bool ok = true;
  try {
    out.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  ok = ok && std::fread(out.data(), 1, out.size(), file) == out.size();
  std::fclose(file);
  return ok;
}

bool DecodeImageFile(const std::string& path, Image& out) {
  std::vector<uint8_t> data;
  return ReadWholeFile(path, data) && DecodeImage(data.data(), data.size(), out);
}

Image FlattenOntoWhite(const Image& image) {
  Image flat;
  if (!WellFormed(image) || image.depth != 32 ||
      !AllocateImage(flat, image.width, image.height, 24)) {
    return flat;
  }
  flat.sourceDepth = image.sourceDepth;
  flat.codec = image.codec;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* src = image.Row(y);
    uint8_t* dst = flat.Row(y);
    for (int32_t x = 0; x < image.width; ++x, src += 4, dst += 3) {
      const uint32_t a = src[3];
      for (int i = 0; i < 3; ++i) dst[i] = static_cast<uint8_t>(255 - (255 - src[i]) * a / 255);
    }
  }
  return flat;
}

bool EncodeImage(const Image& image, uint32_t tag, int32_t quality, int32_t depth,
                 std::vector<uint8_t>& out) {
  if (depth == kSourceDepth) depth = image.sourceDepth;
  switch (depth) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  if (!WellFormed(image)) return false;
  for (const ImageEncoder& encoder : Lists().encoders) {
    if (encoder.tag != tag) continue;
    if (image.depth == 24) return encoder.write24(image, quality, depth, out);
    if (encoder.write32 && depth == 32) return encoder.write32(image, out);
    const Image flat = FlattenOntoWhite(image);
    return !flat.pixels.empty() && encoder.write24(flat, quality, depth, out);
  }
  return false;
}

bool EncodeImageFile(const Image& image, const std::string& path, uint32_t tag, int32_t quality,
                     int32_t depth) {
  std::vector<uint8_t> data;
  if (!EncodeImage(image, tag, quality, depth, data)) return false;
  std::FILE* file = platform::OpenFile(path, "wb");
  if (!file) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) platform::RemoveFile(path);
  return ok;
}

}  // namespace images
