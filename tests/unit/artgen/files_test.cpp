// The writers, read back through the program's own decoders or byte by byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "images/codecs.h"
#include "write.h"

namespace artgen {
namespace {

class Writers : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("artgen_writers_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  static uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
  }
  std::filesystem::path dir_;
};

// A 3 x 2 picture whose every pixel differs, top row first.
std::vector<uint8_t> Pattern(int channels) {
  std::vector<uint8_t> px;
  for (int i = 0; i < 6; ++i)
    for (int c = 0; c < channels; ++c)
      px.push_back(static_cast<uint8_t>(i * 40 + c * 7 + (c == 3 ? 30 : 0)));
  return px;
}

TEST_F(Writers, PngKeepsEveryChannelAndAlpha) {
  ASSERT_TRUE(WritePng(Path("a.png"), 3, 2, 4, Pattern(4)));
  images::Image img;
  ASSERT_TRUE(images::DecodeImageFile(Path("a.png"), img));
  EXPECT_EQ(img.codec, images::kTagPng);
  ASSERT_EQ(img.depth, 32);
  std::vector<uint8_t> want = Pattern(4);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const uint8_t* p = img.TopRow(y) + x * 4;
      const uint8_t* w = &want[(y * 3 + x) * 4];
      EXPECT_EQ(p[2], w[0]);  // the decoder stores blue-green-red-alpha
      EXPECT_EQ(p[1], w[1]);
      EXPECT_EQ(p[0], w[2]);
      EXPECT_EQ(p[3], w[3]);
    }
}

TEST_F(Writers, Bmp24IsReadBackUprightAndCanBePadded) {
  ASSERT_TRUE(WriteBmp24(Path("a.bmp"), 3, 2, Pattern(3), 0));
  images::Image img;
  ASSERT_TRUE(images::DecodeImageFile(Path("a.bmp"), img));
  EXPECT_EQ(img.sourceDepth, 24);
  std::vector<uint8_t> want = Pattern(3);
  EXPECT_EQ(img.TopRow(0)[2], want[0]);
  EXPECT_EQ(img.TopRow(1)[2 * 3 + 0], want[5 * 3 + 2]);
  EXPECT_EQ(Bytes(Path("a.bmp")).size(), 54u + 2 * 12);

  ASSERT_TRUE(WriteBmp24(Path("b.bmp"), 3, 2, Pattern(3), 100));
  std::vector<uint8_t> padded = Bytes(Path("b.bmp"));
  ASSERT_EQ(padded.size(), 100u);
  EXPECT_EQ(Le32(padded, 2), 100u);
  ASSERT_TRUE(images::DecodeImageFile(Path("b.bmp"), img));
  EXPECT_EQ(img.TopRow(0)[2], want[0]);
}

TEST_F(Writers, Bmp555HasTheDialogBlockLayout) {
  std::vector<uint16_t> px(50 * 50, 0);
  px[0] = 0x7C00;             // top-left red
  px[49 * 50 + 49] = 0x001F;  // bottom-right blue
  ASSERT_TRUE(WriteBmp555(Path("f.bmp"), 50, 50, px, 5056));
  std::vector<uint8_t> b = Bytes(Path("f.bmp"));
  ASSERT_EQ(b.size(), 5056u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(Le32(b, 2), 5056u);
  EXPECT_EQ(Le32(b, 10), 54u);
  EXPECT_EQ(b[28], 16);
  EXPECT_EQ(Le32(b, 30), 0u);  // no compression: 5-5-5
  // Rows are stored bottom-up: the last row's last pixel comes first.
  EXPECT_EQ(b[54 + 49 * 2] | b[55 + 49 * 2] << 8, 0x001F);
  EXPECT_EQ(b[54 + 49 * 100] | b[55 + 49 * 100] << 8, 0x7C00);
  images::Image img;
  ASSERT_TRUE(images::DecodeImageFile(Path("f.bmp"), img));
  EXPECT_EQ(img.sourceDepth, 16);
  EXPECT_EQ(img.TopRow(0)[2], 248);  // red, widened by 8
  EXPECT_EQ(img.TopRow(49)[49 * 3], 248);
}

TEST_F(Writers, JpegDecodesAtItsSize) {
  std::vector<uint8_t> rgb(64 * 48 * 3, 200);
  ASSERT_TRUE(WriteJpeg(Path("a.jpg"), 64, 48, rgb, 9));
  images::Image img;
  ASSERT_TRUE(images::DecodeImageFile(Path("a.jpg"), img));
  EXPECT_EQ(img.codec, images::kTagJpeg);
  EXPECT_EQ(img.width, 64);
  EXPECT_EQ(img.height, 48);
  EXPECT_NEAR(img.TopRow(10)[30], 200, 2);
}

TEST_F(Writers, WavHeaderDescribesTheSamples) {
  std::vector<int16_t> s = {0, 1000, -1000, 32767, -32768, 5};
  ASSERT_TRUE(WriteWav(Path("a.wav"), s, 22050, 2));
  std::vector<uint8_t> b = Bytes(Path("a.wav"));
  ASSERT_EQ(b.size(), 44u + 12);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(b, 4), 36u + 12);
  EXPECT_EQ(b[22], 2);                 // channels
  EXPECT_EQ(Le32(b, 24), 22050u);      // rate
  EXPECT_EQ(Le32(b, 28), 22050u * 4);  // bytes per second
  EXPECT_EQ(Le32(b, 40), 12u);
  EXPECT_EQ(static_cast<int16_t>(b[50] | b[51] << 8), 32767);
}

TEST_F(Writers, UnwritableFolderIsReported) {
  std::string missing = Path("no/such/folder/x");
  EXPECT_FALSE(WritePng(missing + ".png", 3, 2, 4, Pattern(4)));
  EXPECT_FALSE(WriteBmp24(missing + ".bmp", 3, 2, Pattern(3), 0));
  EXPECT_FALSE(WriteJpeg(missing + ".jpg", 3, 2, Pattern(3), 9));
  EXPECT_FALSE(WriteWav(missing + ".wav", {1, 2}, 8000, 1));
  EXPECT_FALSE(CopyFile(Path("absent"), Path("copy")));
}

}  // namespace
}  // namespace artgen
