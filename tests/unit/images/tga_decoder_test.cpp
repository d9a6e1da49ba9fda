// The TGA reader: types 2 and 10, 16/24/32 bits, the origin bit, skipping, broken data.
#include <gtest/gtest.h>

#include "images/codecs.h"
#include "picture_files.h"

namespace images {
namespace {

using testing::Bytes;
using testing::MakeTga;
using testing::PixelAt;
using testing::TgaLayout;

Image Decode(const Bytes& data) {
  Image image;
  EXPECT_TRUE(DecodeImage(data.data(), data.size(), image));
  EXPECT_EQ(image.codec, kTagTga);
  return image;
}

TEST(TgaDecoder, FirstStoredRowIsTheBottomUnlessBitFiveIsSet) {
  TgaLayout layout{.width = 2, .height = 2, .bits = 24};
  layout.pixelData = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
  Image image = Decode(MakeTga(layout));
  EXPECT_EQ(image.depth, 24);
  EXPECT_EQ(image.pitch, 8);
  EXPECT_EQ(PixelAt(image, 0, 1), 0x010101u);
  EXPECT_EQ(PixelAt(image, 1, 1), 0x020202u);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x030303u);

  layout.descriptor = 0x20;
  image = Decode(MakeTga(layout));
  EXPECT_EQ(PixelAt(image, 0, 0), 0x010101u);
  EXPECT_EQ(PixelAt(image, 1, 1), 0x040404u);
}

TEST(TgaDecoder, ThirtyTwoBitKeepsAlphaAndSixteenBitWidensByEight) {
  TgaLayout layout{.width = 1, .height = 1, .bits = 32, .pixelData = {10, 20, 30, 40}};
  Image image = Decode(MakeTga(layout));
  EXPECT_EQ(image.depth, 32);
  EXPECT_EQ(image.sourceDepth, 32);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x281E140Au);

  layout.bits = 16;
  layout.pixelData = {0x3F, 0x7C};  // red 31, green 1, blue 31
  image = Decode(MakeTga(layout));
  EXPECT_EQ(image.depth, 24);
  EXPECT_EQ(PixelAt(image, 0, 0), 0xF808F8u);

  // Red 17, green 9, blue 20: "<< 3 | >> 2" would give 0x8C4AA5.
  layout.pixelData = {0x34, 0x45};
  EXPECT_EQ(PixelAt(Decode(MakeTga(layout)), 0, 0), 0x8848A0u);
}

TEST(TgaDecoder, IdentificationAndColourMapAreSkipped) {
  TgaLayout layout{.idLength = 5, .colorMapType = 1, .colorMapLength = 3, .colorMapEntryBits = 24};
  layout.pixelData = {7, 8, 9};
  EXPECT_EQ(PixelAt(Decode(MakeTga(layout)), 0, 0), 0x090807u);
}

TEST(TgaDecoder, RunLengthPacketsCrossRowsAndStopAtThePixelCount) {
  TgaLayout layout{.imageType = 10, .width = 3, .height = 2, .bits = 24, .descriptor = 0x20};
  layout.pixelData = {
      0x83, 1, 2, 3,           // four repeats of one pixel: the first row and one more
      0x01, 4, 4, 4, 5, 5, 5,  // two literal pixels
      0xFF, 9, 9, 9,           // 128 repeats, cut at the picture's six pixels
  };
  const Image image = Decode(MakeTga(layout));
  for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(image, x, 0), 0x030201u);
  EXPECT_EQ(PixelAt(image, 0, 1), 0x030201u);
  EXPECT_EQ(PixelAt(image, 1, 1), 0x040404u);
  EXPECT_EQ(PixelAt(image, 2, 1), 0x050505u);
}

TEST(TgaDecoder, DataThatRunsOutLeavesTheRestBlack) {
  TgaLayout layout{.imageType = 10, .width = 4, .height = 1, .bits = 24};
  layout.pixelData = {0x05, 1, 1, 1, 2, 2};  // six literals announced, one and a bit present
  Image image = Decode(MakeTga(layout));
  EXPECT_EQ(PixelAt(image, 0, 0), 0x010101u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0u);

  layout.imageType = 2;
  layout.pixelData = {1, 1, 1, 2, 2, 2, 3};
  image = Decode(MakeTga(layout));
  EXPECT_EQ(PixelAt(image, 1, 0), 0x020202u);
  EXPECT_EQ(PixelAt(image, 2, 0), 0u);

  // A colour map that claims more than the file holds.
  layout.colorMapType = 1;
  Bytes file = MakeTga(layout);
  file[5] = file[6] = 0xFF;
  file[7] = 32;
  image = Decode(file);
  for (uint8_t b : image.pixels) ASSERT_EQ(b, 0);
}

TEST(TgaDecoder, ProbeAcceptsOnlyTrueColourTypesAndDepths) {
  auto tag = [](const TgaLayout& layout) {
    const Bytes file = MakeTga(layout);
    return ProbeImage(file.data(), file.size());
  };
  EXPECT_EQ(tag({.imageType = 2, .bits = 24, .pixelData = {0, 0, 0}}), kTagTga);
  EXPECT_EQ(tag({.imageType = 1, .bits = 24, .pixelData = {0, 0, 0}}), 0u);
  EXPECT_EQ(tag({.imageType = 3, .bits = 24, .pixelData = {0, 0, 0}}), 0u);
  EXPECT_EQ(tag({.colorMapType = 2, .bits = 24, .pixelData = {0, 0, 0}}), 0u);
  EXPECT_EQ(tag({.bits = 8, .pixelData = {0, 0, 0}}), 0u);
  Bytes tiny = MakeTga({});
  tiny.resize(17);
  EXPECT_EQ(ProbeImage(tiny.data(), tiny.size()), 0u);
}

TEST(TgaDecoder, ZeroSizesAreRefused) {
  for (uint16_t w : {0, 1}) {
    const Bytes file = MakeTga({.width = w, .height = static_cast<uint16_t>(1 - w)});
    Image image;
    EXPECT_FALSE(DecodeImage(file.data(), file.size(), image));
  }
}

}  // namespace
}  // namespace images
