// Saving: the depth and tag rules, flattening onto white, BMP and JPEG writers, the codec lists.
#include <gtest/gtest.h>

#include "images/codecs.h"
#include "picture_files.h"
#include "platform/platform.h"

namespace images {
namespace {

using testing::Bytes;
using testing::MakeImage;
using testing::PixelAt;
using testing::SetPixel;

Image RoundTrip(const Image& image, uint32_t tag, int32_t depth, int32_t quality = 7) {
  Bytes data;
  EXPECT_TRUE(EncodeImage(image, tag, quality, depth, data));
  Image back;
  EXPECT_TRUE(DecodeImage(data.data(), data.size(), back));
  return back;
}

// The first entry of the first quantisation table of a JPEG file.
int FirstQuantiser(const Bytes& jpeg) {
  for (size_t i = 0; i + 5 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDB) return jpeg[i + 5];
  }
  return -1;
}

Image Colourful(int32_t w, int32_t h, int32_t depth) {
  Image image = MakeImage(w, h, depth);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x)
      SetPixel(image, x, y, 0xFF000000u | (x * 37 + y * 101) * 2654435761u);
  }
  return image;
}

TEST(Save, RefusesDepthsOutsideTheListAndUnknownTags) {
  const Image image = MakeImage(3, 3, 24, 0x123456);
  Bytes out;
  for (int32_t depth : {3, 5, 12, 48, -1}) EXPECT_FALSE(EncodeImage(image, kTagBmp, 7, depth, out));
  EXPECT_FALSE(EncodeImage(image, kTagPng, 7, 24, out));
  // In the list but not taken by the BMP writer.
  EXPECT_FALSE(EncodeImage(image, kTagBmp, 7, 16, out));
  EXPECT_FALSE(EncodeImage(image, kTagBmp, 7, 2, out));
  EXPECT_TRUE(EncodeImage(image, kTagJpeg, 7, 16, out));
}

TEST(Save, DefaultDepthIsTheSourceDepth) {
  Image image = MakeImage(5, 2, 24, 0x102030);
  image.sourceDepth = 8;
  Bytes out;
  ASSERT_TRUE(EncodeImage(image, kTagBmp, 7, kSourceDepth, out));
  EXPECT_EQ(out[28], 8);
  image.sourceDepth = 16;
  EXPECT_FALSE(EncodeImage(image, kTagBmp, 7, kSourceDepth, out));
}

TEST(Save, TransparentPicturesFlattenToWhite) {
  const Image clear = MakeImage(4, 4, 32, 0x00123456);
  Image back = RoundTrip(clear, kTagBmp, 24);
  for (uint8_t b : back.pixels) ASSERT_EQ(b, 255);
  back = RoundTrip(clear, kTagJpeg, 24, 10);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(back, x, 2), 0xFFFFFFu);

  // 255 - (255 - c) * a / 255, truncated: c = 100, a = 128 gives 178.
  const Image half = FlattenOntoWhite(MakeImage(1, 1, 32, 0x80646464));
  EXPECT_EQ(PixelAt(half, 0, 0), 0xB2B2B2u);
}

TEST(Save, BmpAtThirtyTwoBitsKeepsAlpha) {
  const Image image = MakeImage(2, 1, 32, 0x7F010203);
  Bytes out;
  ASSERT_TRUE(EncodeImage(image, kTagBmp, 7, 32, out));
  ASSERT_EQ(out.size(), 54u + 8u);
  EXPECT_EQ(out[28], 32);
  EXPECT_EQ(Bytes(out.begin() + 54, out.begin() + 58), (Bytes{3, 2, 1, 0x7F}));
}

TEST(Save, BmpHeadersAndRowsAsOtherReadersExpect) {
  const Image image = Colourful(5, 3, 24);
  Bytes out;
  ASSERT_TRUE(EncodeImage(image, kTagBmp, 7, 24, out));
  ASSERT_EQ(out.size(), 54u + 3 * 16);
  EXPECT_EQ(out[0], 'B');
  EXPECT_EQ(out[2] | (out[3] << 8), 54 + 48);  // file size
  EXPECT_EQ(out[10], 54);                      // data offset
  EXPECT_EQ(out[14], 40);                      // header size
  EXPECT_EQ(out[34] | (out[35] << 8), 48);     // image size
  const Image back = RoundTrip(image, kTagBmp, 24);
  EXPECT_EQ(back.pixels, image.pixels);
}

TEST(Save, PalettedBmpDepthsKeepFewColoursExactly) {
  for (int32_t depth : {1, 4, 8}) {
    // The reader takes 1-bit files as black and white, so that depth gets those two colours.
    Image image = MakeImage(13, 5, 24, depth == 1 ? 0 : 0x203040);
    SetPixel(image, 3, 1, depth == 1 ? 0xFFFFFF : 0xFFEEDD);
    const Image back = RoundTrip(image, kTagBmp, depth);
    EXPECT_EQ(back.sourceDepth, depth);
    EXPECT_EQ(back.pixels, image.pixels) << depth;
  }
  // Many colours: the fixed palettes, close to the original.
  const Image many = Colourful(64, 16, 24);
  const Image back = RoundTrip(many, kTagBmp, 8);
  for (int32_t x = 0; x < 64; ++x) {
    const uint32_t a = PixelAt(many, x, 7), b = PixelAt(back, x, 7);
    for (int s = 0; s < 24; s += 8) {
      EXPECT_LE(std::abs(int((a >> s) & 255) - int((b >> s) & 255)), 43) << x;
    }
  }
}

TEST(Save, JpegQualityIsTenTimesTheArgumentClamped) {
  const Image image = Colourful(16, 16, 24);
  Bytes out;
  ASSERT_TRUE(EncodeImage(image, kTagJpeg, 10, 24, out));
  EXPECT_EQ(FirstQuantiser(out), 1);  // quality 100
  ASSERT_TRUE(EncodeImage(image, kTagJpeg, 7, 24, out));
  EXPECT_EQ(FirstQuantiser(out), 10);  // quality 70: 16 * 60 / 100, rounded
  ASSERT_TRUE(EncodeImage(image, kTagJpeg, 25, 24, out));
  EXPECT_EQ(FirstQuantiser(out), 1);
  ASSERT_TRUE(EncodeImage(image, kTagJpeg, -4, 24, out));
  EXPECT_EQ(FirstQuantiser(out), 255);  // quality 0, which libjpeg takes as 1
}

TEST(Save, JpegKeepsColoursAndOrientation) {
  Image image = MakeImage(32, 32, 24, 0x0000FF);
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 32; ++x) SetPixel(image, x, y, 0xFF0000);
  }
  const Image back = RoundTrip(image, kTagJpeg, 24, 10);
  EXPECT_EQ(back.codec, kTagJpeg);
  const uint32_t top = PixelAt(back, 5, 3), bottom = PixelAt(back, 5, 28);
  EXPECT_GT(top >> 16, 250u);
  EXPECT_LT(top & 255, 5u);
  EXPECT_GT(bottom & 255, 250u);
}

TEST(Save, FilesAreWrittenAndAFailedCreateReportsFailure) {
  const std::string folder = testing::TempFolder("save");
  const Image image = MakeImage(7, 7, 24, 0x445566);
  const std::string path = folder + "sn\xC3\xB6w.bmp";  // a UTF-8 name
  ASSERT_TRUE(EncodeImageFile(image, path, kTagBmp, 7, 24));
  Image back;
  ASSERT_TRUE(DecodeImageFile(path, back));
  EXPECT_EQ(back.pixels, image.pixels);
  EXPECT_FALSE(EncodeImageFile(image, folder + "missing/x.jpg", kTagJpeg));
  EXPECT_FALSE(EncodeImageFile(image, folder + "x.png", kTagPng));
  EXPECT_EQ(platform::FileSize(folder + "x.png"), -1);
  EXPECT_FALSE(DecodeImageFile(folder + "nothing.bmp", back));
}

TEST(Save, MalformedRecordsAreRefused) {
  Image image = MakeImage(4, 4, 24);
  image.pixels.resize(10);
  Bytes out;
  EXPECT_FALSE(EncodeImage(image, kTagBmp, 7, 24, out));
  EXPECT_FALSE(EncodeImage(Image{}, kTagJpeg, 7, 24, out));
}

bool ProbeQoi(const uint8_t* d, size_t n) {
  return n >= 4 && d[0] == 'q' && d[1] == 'o';
}
bool DecodeQoi(const uint8_t*, size_t, Image& out) {
  return AllocateImage(out, 2, 2, 24);
}

TEST(CodecLists, AddingIsOncePerTagAndProbingFollowsTheOrder) {
  EXPECT_FALSE(AddDecoder({kTagBmp, ProbeQoi, DecodeQoi}));
  EXPECT_TRUE(AddDecoder({0x696F71, ProbeQoi, DecodeQoi}));
  EXPECT_FALSE(AddDecoder({0x696F71, ProbeQoi, DecodeQoi}));
  const Bytes qoi{'q', 'o', 'i', 'f'};
  Image image;
  ASSERT_TRUE(DecodeImage(qoi.data(), qoi.size(), image));
  EXPECT_EQ(image.codec, 0x696F71u);
  // "BM" data is claimed by the BMP decoder first, and its refusal is final.
  const Bytes bm{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ProbeImage(bm.data(), bm.size()), kTagBmp);
  EXPECT_FALSE(DecodeImage(bm.data(), bm.size(), image));
  EXPECT_FALSE(AddEncoder({kTagJpeg, nullptr, nullptr}));
}

}  // namespace
}  // namespace images
